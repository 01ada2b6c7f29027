// What the web page's buttons and address call (platform/web/page/
// plivak_page.js, through the module's exports): seek, pause, the show
// time and step, the chapters. Plain C names, so that the page reaches
// them as _plivak_page_*; the native build has them too, for its tests.
//
// The page calls them only while the program waits for it (a present, an
// idle key poll), never in the middle of a frame. Before the show they act
// at once; during it a seek or a pause is only a request, which the next
// key poll applies (the running part then ends at that poll and the
// timeline starts again from the chapter point, see host/seek.h).
#pragma once

extern "C" {

// Reads ../data/chapters.dat (a missing or damaged file is said in one
// line on standard error) and takes over the key polls' handler. Returns
// 1 when the chapters are there: seeking is on. Call once, before main.
int plivak_page_begin();

// A show time as the address gives it ("125", "2:05", "2:05.5"): seconds,
// or -1 when the text is not one (kShowTimeForms names the forms).
double plivak_page_parse_time(const char* text);
const char* plivak_page_time_forms();

// Seeks: 1 when the time or step exists (step 1..18 with a chapter file),
// 0 otherwise. A paused show stays paused on the new frame.
int plivak_page_seek_time(double seconds);
int plivak_page_seek_step(int step);
// 1: pause (the picture, the timer and the music stop together); 0: go on.
void plivak_page_pause(int on);

// The show time in seconds, the step playing (0 before the first), and 1
// while paused or while a pause is asked for.
double plivak_page_time();
int plivak_page_step();
int plivak_page_paused();
// 1 when a chapter point holds this run's configuration, so that a seek
// pre-rolls from the nearest one (otherwise from the beginning).
int plivak_page_seek_from_chapters();

// The named chapters, the 18 steps (0 of them without a chapter file).
int plivak_page_chapter_count();
int plivak_page_chapter_step(int index);
const char* plivak_page_chapter_name(int index);
double plivak_page_chapter_start(int index);

}  // extern "C"
