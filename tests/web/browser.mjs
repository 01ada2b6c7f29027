// The web page in a real browser:
//
//   node tests/web/browser.mjs BUILD_WEB_DIR NATIVE_BUILD_DIR
//
// Serves BUILD_WEB_DIR from a local server, opens it in headless chromium
// (puppeteer-core), clicks start, and at three show times has the page hold
// the frame it has just presented (its clocks and music stopped meanwhile).
// Each held frame, screenshotted from the page, must be one of the native
// capture's frames for that time, +-2 (the browser runs on real time, and
// its syncs come the output latency after the timer, as from a native
// audio device), seen through the canvas's sharp 4:3 upscale: every screen
// pixel is the colour of its own console pixel or of a neighbour one (no
// blended colour), and the centre of every console pixel is its colour.
// Then a key ends the demo and the page must show "play again".
//
// Going to a moment: a #t=2:05 link, a chapter click and a pause each show
// the native capture's frame for that moment (a seek's picture is the
// virtual clock's exact frame), the show time stands still while the tab
// is hidden (the page's visibility handler, with document.hidden set as a
// hidden tab has it) and goes on from there when shown, a key still ends
// the demo after the buttons were used, #t=banana and #step=19 bring up the
// line naming the accepted forms and the offer to start from the
// beginning, and a missing or damaged chapter file one line, a show from
// the beginning and no chapters.
//
// It also prints what the page measured: presents per second, the draw
// time of a frame per step (performance.now from the key poll to the
// present; steps from the native capture's log), how late syncs fired
// after their row was heard, and the page weight. Exit status 0 on pass.
//
//   node tests/web/browser.mjs --bench BUILD_WEB_DIR NATIVE_BUILD_DIR
//
// measures seek latency in the page instead (bench/web_seek.sh): for every
// step, from a click to the picture on the screen, a seek to its start and
// to its last frame (the farthest from a chapter point), and inside the
// closing part to the frame before a 10 s point and to its last frame.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';

import { decodePng } from './png.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const repo = path.resolve(here, '..', '..');
const args = process.argv.slice(2);
const bench = args[0] === '--bench';
const [webDir, nativeDir] = args.slice(bench ? 1 : 0).map((p) => p && path.resolve(p));
if (!webDir || !nativeDir) {
  console.error('usage: node tests/web/browser.mjs [--bench] BUILD_WEB_DIR NATIVE_BUILD_DIR');
  process.exit(2);
}

// Show times (s) to look at, the first frame presented at or after each:
// two in the opening and one as the banner cube begins. Most later
// stretches blend each frame over the ones before (the second part, the
// cube's trails), so their pictures carry the exact timer reading of the
// frames before, which a show on real time cannot repeat bit for bit; the
// node capture on the virtual clock checks those.
const HOLD_TIMES = process.env.PLIVAK_HOLD_TIMES ? process.env.PLIVAK_HOLD_TIMES.split(',').map(Number) : [2.5, 8.0, 40.0];
const FRAME_SLACK = 2;
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const MISSING_FILE = 'atom.scn';  // left out for the bad-data case

function loadPuppeteer() {
  for (const base of [path.join(repo, 'tools', 'web', 'package.json'), path.join(process.cwd(), 'package.json')]) {
    try {
      return createRequire(base)('puppeteer-core');
    } catch {
      // try the next place
    }
  }
  return createRequire(import.meta.url)('puppeteer-core');  // NODE_PATH
}

// ---- a static server ----

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.txt': 'text/plain', '.json': 'application/json' };

function serve(root) {
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://localhost');
    // Under /missing/ the same page, its server lacking one data file;
    // under /nochapters/ lacking the chapter file, under /badchapters/
    // with the chapter file cut in half.
    let name = decodeURIComponent(url.pathname);
    if (name.startsWith('/missing/')) {
      name = name.slice('/missing'.length);
      if (name === '/data/' + MISSING_FILE) name = '/no such file';
    }
    if (name.startsWith('/nochapters/')) {
      name = name.slice('/nochapters'.length);
      if (name === '/data/chapters.dat') name = '/no such file';
    }
    if (name.startsWith('/badchapters/')) {
      name = name.slice('/badchapters'.length);
      if (name === '/data/chapters.dat') {
        const bytes = fs.readFileSync(path.join(root, name));
        res.writeHead(200, { 'Content-Type': 'application/octet-stream' });
        res.end(bytes.subarray(0, bytes.length >> 1));
        return;
      }
    }
    const file = path.join(root, name === '/' ? '/index.html' : name);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// ---- native frames ----

function nativeFrames(first, last, dir) {
  // The capture writes every frame from --from on; a key at --seconds ends it.
  const r = spawnSync('./plivak-capture', ['--quiet', '--png', dir, '--from', (Math.max(0, first) / 60).toFixed(6),
    '--seconds', ((last + 1) / 60).toFixed(6)], { cwd: path.join(nativeDir, 'bin'), stdio: ['ignore', 'ignore', 'inherit'] });
  if (r.status !== 0) throw new Error(`plivak-capture failed (status ${r.status})`);
  const frames = new Map();
  for (let n = first; n <= last; ++n) {
    const file = path.join(dir, String(n).padStart(6, '0') + '.png');
    if (fs.existsSync(file)) frames.set(n, decodePng(fs.readFileSync(file)));
  }
  return frames;
}

// How a screenshot of the canvas differs from a console frame shown with
// sharp pixels: pixel centres of another colour, and screen pixels whose
// colour is neither their console pixel's nor a neighbour's (a blend).
function compare(shot, frame) {
  const sx = shot.width / frame.width, sy = shot.height / frame.height;
  const near = (a, o, b, p) => Math.abs(a[o] - b[p]) <= 2 && Math.abs(a[o + 1] - b[p + 1]) <= 2 && Math.abs(a[o + 2] - b[p + 2]) <= 2;
  let centres = 0, blends = 0;
  for (let y = 0; y < frame.height; ++y)
    for (let x = 0; x < frame.width; ++x) {
      const o = (Math.floor((y + 0.5) * sy) * shot.width + Math.floor((x + 0.5) * sx)) * 4;
      if (!near(shot.rgba, o, frame.rgba, (y * frame.width + x) * 4)) ++centres;
    }
  for (let Y = 0; Y < shot.height; ++Y)
    for (let X = 0; X < shot.width; ++X) {
      const o = (Y * shot.width + X) * 4;
      const x = Math.min(frame.width - 1, Math.floor(X / sx)), y = Math.min(frame.height - 1, Math.floor(Y / sy));
      let ok = false;
      for (let dy = -1; dy <= 1 && !ok; ++dy)
        for (let dx = -1; dx <= 1 && !ok; ++dx) {
          const u = x + dx, v = y + dy;
          if (u >= 0 && v >= 0 && u < frame.width && v < frame.height && near(shot.rgba, o, frame.rgba, (v * frame.width + u) * 4)) ok = true;
        }
      if (!ok) ++blends;
    }
  return { centres, blends };
}

// The line the native capture prints, with "verbose", when MISSING_FILE
// is not in its data folder.
function nativeMessage() {
  const dir = fs.mkdtempSync(path.join(work, 'missing-'));
  fs.mkdirSync(path.join(dir, 'bin'));
  fs.cpSync(path.join(nativeDir, 'data'), path.join(dir, 'data'), { recursive: true });
  fs.rmSync(path.join(dir, 'data', MISSING_FILE));
  fs.writeFileSync(path.join(dir, 'bin', 'plivak.cfg'), 'verbose\n');
  const r = spawnSync(path.join(nativeDir, 'bin', 'plivak-capture'), ['--quiet', '--seconds', '1'], { cwd: path.join(dir, 'bin'), encoding: 'utf8' });
  return r.stderr.split('\n').filter((l) => l.startsWith('cannot ')).pop() || `(status ${r.status}, no message)`;
}

// ---- figures ----

function stepsOf(logFile) {
  // [time, step] at each change of step in the native log.
  const out = [];
  for (const line of fs.readFileSync(logFile, 'utf8').split('\n')) {
    const m = /t=([\d.]+) step=(\d+)/.exec(line);
    if (m && (out.length === 0 || out[out.length - 1][1] !== +m[2])) out.push([+m[1], +m[2]]);
  }
  return out;
}

function quantile(sorted, q) {
  return sorted.length ? sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))] : NaN;
}

function pageWeight() {
  let raw = 0, gz = 0;
  const rows = [];
  // What the page loads: the files in the root and data/ (bin/ holds the
  // node capture, cmake/ the build tree).
  const walk = (dir) => {
    for (const e of fs.readdirSync(dir, { withFileTypes: true })) {
      const p = path.join(dir, e.name);
      if (e.isDirectory()) { if (dir === webDir && e.name === 'data') walk(p); }
      else if (e.isFile() && !/\.log$/.test(e.name)) {
        const bytes = fs.readFileSync(p);
        const kind = p.includes(`${path.sep}data${path.sep}`) ? 'data' : path.extname(p).slice(1);
        const z = zlib.gzipSync(bytes, { level: 9 }).length;
        const row = rows.find((r) => r.kind === kind) || (rows.push({ kind, raw: 0, gz: 0 }), rows[rows.length - 1]);
        row.raw += bytes.length;
        row.gz += z;
        raw += bytes.length;
        gz += z;
      }
    }
  };
  walk(webDir);
  for (const r of rows) console.log(`weight ${r.kind}: ${(r.raw / 1024).toFixed(0)} KiB, gzipped ${(r.gz / 1024).toFixed(0)} KiB`);
  console.log(`weight total: ${(raw / 1024).toFixed(0)} KiB, gzipped ${(gz / 1024).toFixed(0)} KiB`);
}

// The show from its start: held frames, the page's figures, a key, a
// missing data file.
async function playChecks(browser) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 1000 });
  page.on('pageerror', (e) => fail('page error: ' + e.message));
  await page.goto(url);
  await page.waitForSelector('#start:not([hidden])', { timeout: 30000 });
  await page.evaluate((times) => { window.plivakTest.holdAt = times.slice(); }, HOLD_TIMES);
  await page.click('#start');
  const canvas = await page.$('#screen');

  for (const t of HOLD_TIMES) {
    await page.waitForFunction(() => window.plivakTest.held || window.plivakTest.status !== null, { timeout: (t + 90) * 1000, polling: 50 });
    const held = await page.evaluate(() => window.plivakTest.held);
    if (!held) {
      const [status, text] = await page.evaluate(() => [window.plivakTest.status, document.getElementById('message').textContent]);
      fail(`the demo ended (status ${status}) before ${t} s: ${text}`);
      break;
    }
    const shotPng = Buffer.from(await canvas.screenshot({ type: 'png' }));
    if (process.env.PLIVAK_SHOTS) fs.writeFileSync(path.join(process.env.PLIVAK_SHOTS, `shot-${t}.png`), shotPng);
    const shot = decodePng(shotPng);
    // What a frame shows follows the demo's timer (the show time) and the
    // syncs, which fire when the music is heard, the output latency later,
    // as from a native audio device. Any frame from the music's time to
    // the show time (whichever comes first), +-2, is accepted.
    const [early, late] = [held.musicTime, held.showTime].sort((x, y) => x - y);
    const first = Math.round(early * 60) - FRAME_SLACK, last = Math.round(late * 60) + FRAME_SLACK;
    const frames = nativeFrames(first, last, path.join(work, String(t)));
    let best = null;
    for (const [n, frame] of frames) {
      const d = compare(shot, frame);
      if (!best || d.centres + d.blends < best.centres + best.blends) best = { n, ...d };
    }
    const line = `hold at ${t} s: show time ${held.showTime.toFixed(3)} s, music ${held.musicTime.toFixed(3)} s, ` +
      `frames ${first}..${last}; screenshot ${shot.width}x${shot.height}`;
    if (!best) fail(`${line}: no native frames`);
    else if (best.centres || best.blends) fail(`${line}: nearest native frame ${best.n} differs (${best.centres} pixel centres, ${best.blends} screen pixels blended)`);
    else console.log(`${line} = native frame ${best.n}`);
    await page.evaluate(() => window.plivakTest.resume());
  }

  // What the page measured while it played.
  const m = await page.evaluate(() => {
    const t = window.plivakTest, s = t.stats, n = s.count;
    return { audio: t.audio, refreshHz: t.refreshHz, time: Array.from(s.time.subarray(0, n)), draw: Array.from(s.draw.subarray(0, n)),
      shown: Array.from(s.shown.subarray(0, n)), late: t.late.late ? Array.from(t.late.late.subarray(0, t.late.lateCount)) : [],
      describe: t.late.node ? t.late.describe() : t.late.reason };
  });
  console.log(`audio: ${m.audio} (${m.describe}); display refresh ${m.refreshHz.toFixed(1)} Hz`);
  const gaps = [];
  for (let i = 1; i < m.shown.length; ++i) {
    const d = m.shown[i] - m.shown[i - 1];
    if (d < 200) gaps.push(d);  // not across a hold
  }
  gaps.sort((a, b) => a - b);
  const onTime = gaps.filter((d) => d < 1000 / 60 + 4).length / Math.max(1, gaps.length);
  console.log(`presents: ${m.shown.length}; interval median ${quantile(gaps, 0.5).toFixed(2)} ms, p99 ${quantile(gaps, 0.99).toFixed(2)} ms; ` +
    `${(onTime * 100).toFixed(1)}% within 1/60 s + 4 ms`);
  if (m.late.length) {
    const late = m.late.slice().sort((a, b) => a - b);
    console.log(`syncs: ${late.length} fired after their row was heard by median ${quantile(late, 0.5).toFixed(1)} ms, ` +
      `p95 ${quantile(late, 0.95).toFixed(1)} ms, max ${late[late.length - 1].toFixed(1)} ms`);
  }
  const logFile = path.join(work, 'steps.log');
  spawnSync('./plivak-capture', ['--quiet', '--seconds', String(HOLD_TIMES[HOLD_TIMES.length - 1] + 5), '--log', logFile],
    { cwd: path.join(nativeDir, 'bin'), stdio: 'ignore' });
  if (fs.existsSync(logFile)) {
    const steps = stepsOf(logFile);
    const per = new Map();
    for (let i = 0; i < m.time.length; ++i) {
      let step = 0;
      for (const [t0, s] of steps) if (m.time[i] >= t0) step = s;
      if (!per.has(step)) per.set(step, []);
      per.get(step).push(m.draw[i]);
    }
    for (const [step, d] of per) {
      d.sort((a, b) => a - b);
      console.log(`draw step ${step}: ${d.length} frames, median ${quantile(d, 0.5).toFixed(2)} ms, p95 ${quantile(d, 0.95).toFixed(2)} ms`);
    }
  }

  // A key ends the demo: the page shows "play again".
  await page.keyboard.press('KeyQ');
  try {
    await page.waitForFunction(() => document.body.dataset.screen === 'again' && window.plivakTest.status === 0, { timeout: 15000 });
    const visible = await page.$eval('#again', (b) => !b.hidden && b.offsetWidth > 0 && b.textContent);
    if (visible !== 'play again') fail(`the end screen shows ${JSON.stringify(visible)}`);
    else console.log('a key ended the demo; the page shows "play again"');
  } catch {
    fail(`after a key: screen ${await page.evaluate(() => document.body.dataset.screen)}, status ${await page.evaluate(() => window.plivakTest.status)}`);
  }
  // A data file the server does not have: the page shows the native
  // verbose mode's line for it, and the demo does not start.
  const bad = await browser.newPage();
  await bad.goto(url + 'missing/');
  await bad.waitForSelector('#start:not([hidden])', { timeout: 30000 });
  await bad.click('#start');
  await bad.waitForFunction(() => window.plivakTest.status !== null, { timeout: 60000 });
  const [status, shown, presents] = await bad.evaluate(() =>
    [window.plivakTest.status, document.getElementById('message').textContent, window.plivakTest.stats ? window.plivakTest.stats.count : 0]);
  const expected = nativeMessage();
  if (status !== 1 || presents !== 0 || !shown.split('\n').includes(expected))
    fail(`missing ${MISSING_FILE}: status ${status}, ${presents} presents, page says ${JSON.stringify(shown)}, native ${JSON.stringify(expected)}`);
  else console.log(`missing ${MISSING_FILE}: the page says "${expected}", as the native verbose mode does`);
}

// ---- going to a moment ----

// The nearest of the native frames first..last to a screenshot of the
// canvas: { n, centres, blends }, or null without frames.
function nearestNative(shot, first, last, dir) {
  let best = null;
  for (const [n, frame] of nativeFrames(Math.max(0, first), last, dir)) {
    const d = compare(shot, frame);
    if (!best || d.centres + d.blends < best.centres + best.blends) best = { n, ...d };
  }
  return best;
}

async function expectNative(canvas, what, first, last) {
  const shot = decodePng(Buffer.from(await canvas.screenshot({ type: 'png' })));
  const best = nearestNative(shot, first, last, fs.mkdtempSync(path.join(work, 'frames-')));
  const line = `${what}: frames ${first}..${last}`;
  if (!best) fail(`${line}: no native frames`);
  else if (best.centres || best.blends) fail(`${line}: nearest native frame ${best.n} differs (${best.centres} pixel centres, ${best.blends} screen pixels blended)`);
  else console.log(`${line} = native frame ${best.n}`);
}

// Waits for the page to hold the picture of `frame` (set up by `act`, which
// asks for the seek); returns the held state or null when the demo ended.
async function holdOn(page, frame, act, seconds = 60) {
  await page.evaluate((f) => { window.plivakTest.holdFrame = f; }, frame);
  await act();
  await page.waitForFunction(() => window.plivakTest.held || window.plivakTest.status !== null, { timeout: seconds * 1000, polling: 20 });
  return page.evaluate(() => window.plivakTest.held);
}

const pageTime = (page) => page.evaluate(() => window.plivakTest.show._plivak_page_time());
const presents = (page) => page.evaluate(() => window.plivakTest.stats.count);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function seekChecks(browser) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 1000 });
  page.on('pageerror', (e) => fail('page error: ' + e.message));
  await page.goto(url + '#t=2:05');
  await page.waitForSelector('#start:not([hidden])', { timeout: 30000 });
  const canvas = await page.$('#screen');

  // The link: the first picture is 2:05's frame.
  let held = await holdOn(page, 125 * 60, () => page.click('#start'), 90);
  if (!held) { fail('#t=2:05: the demo ended before its picture'); await page.close(); return; }
  await expectNative(canvas, `#t=2:05 (show time ${held.showTime.toFixed(3)} s)`, 125 * 60 - FRAME_SLACK, 125 * 60 + FRAME_SLACK);
  const chapters = await page.$$eval('#chapters button', (bs) => bs.map((b) => ({ step: Number(b.dataset.step), text: b.title })));
  if (chapters.length !== 18) fail(`the page lists ${chapters.length} chapters, not 18`);
  const current = await page.$$eval('#chapters button[aria-current="true"]', (bs) => bs.map((b) => b.dataset.step));
  const starts = await page.evaluate(() => {
    const m = window.plivakTest.show;
    return Array.from({ length: m._plivak_page_chapter_count() }, (_, i) => [m._plivak_page_chapter_step(i), m._plivak_page_chapter_start(i)]);
  });
  const startOf = new Map(starts.map(([step, t]) => [step, Math.round(t * 60)]));
  await page.evaluate(() => window.plivakTest.resume());

  // A chapter click: the first picture is the chapter's start.
  const step = 6;
  held = await holdOn(page, startOf.get(step), () => page.click(`#chapters button[data-step="${step}"]`));
  if (!held) { fail('chapter click: the demo ended'); await page.close(); return; }
  await expectNative(canvas, `chapter ${step} clicked ("${chapters[step - 1].text}")`, startOf.get(step) - FRAME_SLACK, startOf.get(step) + FRAME_SLACK);
  console.log(`current chapter at 2:05: ${current.join(', ') || 'none'}; ${chapters.length} chapters listed`);
  await page.evaluate(() => window.plivakTest.resume());

  // A pause: the show time stands still and nothing is presented; a
  // chapter clicked while paused shows the capture's frame at its start
  // and stays paused there; going on plays from it.
  await sleep(500);
  await page.click('#pause');
  await sleep(300);
  const [t1, n1, label] = [await pageTime(page), await presents(page), await page.$eval('#pause', (b) => b.textContent)];
  await sleep(1000);
  const [t2, n2] = [await pageTime(page), await presents(page)];
  if (t1 !== t2 || n1 !== n2 || label !== 'play')
    fail(`pause: show time ${t1} -> ${t2} s, presents ${n1} -> ${n2} over 1 s, button "${label}"`);
  else console.log(`pause: the show time stays at ${t1.toFixed(3)} s and nothing is presented for 1 s; the button says "play"`);
  const step9 = startOf.get(9);
  held = await holdOn(page, step9, () => page.click('#chapters button[data-step="9"]'));
  if (!held) { fail('chapter 9 while paused: the demo ended'); await page.close(); return; }
  await page.evaluate(() => window.plivakTest.resume());
  const n3 = await presents(page);
  await sleep(1000);
  const [t4, n4, label4] = [await pageTime(page), await presents(page), await page.$eval('#pause', (b) => b.textContent)];
  if (Math.round(t4 * 60) !== step9 || n4 !== n3 || label4 !== 'play')
    fail(`chapter 9 while paused: show time ${t4} s (its start ${step9 / 60} s), presents ${n3} -> ${n4}, button "${label4}"`);
  await expectNative(canvas, `paused, then chapter 9 clicked (show time ${t4.toFixed(3)} s, still paused)`, step9 - FRAME_SLACK, step9 + FRAME_SLACK);
  await page.click('#pause');
  await sleep(500);
  const t3 = await pageTime(page);
  if (!(t3 > t4 && t3 < t4 + 1)) fail(`after the pause: show time ${t4} -> ${t3} s in 0.5 s`);
  else console.log(`going on: ${t4.toFixed(3)} -> ${t3.toFixed(3)} s in 0.5 s`);

  // A hidden tab: the page's handler sees document.hidden as a hidden tab
  // has it; the show time, the presents and the audio stand still.
  const setHidden = (hidden) => page.evaluate((h) => {
    Object.defineProperty(document, 'hidden', { configurable: true, get: () => h });
    Object.defineProperty(document, 'visibilityState', { configurable: true, get: () => (h ? 'hidden' : 'visible') });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  await setHidden(true);
  await sleep(200);
  const [h1, p1] = [await pageTime(page), await presents(page)];
  await sleep(1500);
  const [h2, p2] = [await pageTime(page), await presents(page)];
  const audioState = await page.evaluate(() => (window.plivakTest.late.node ? window.plivakTest.late.ctx.state : 'no audio'));
  await setHidden(false);
  await sleep(1000);
  const h3 = await pageTime(page);
  if (h1 !== h2 || p1 !== p2 || !(h3 > h2 && h3 < h2 + 1.2) || (audioState !== 'suspended' && audioState !== 'no audio'))
    fail(`hidden tab: show time ${h1} -> ${h2} s, presents ${p1} -> ${p2} over 1.5 s hidden (audio ${audioState}); ${h3} s 1 s after shown`);
  else console.log(`hidden tab: the show time stays at ${h2.toFixed(3)} s for 1.5 s with no presents (audio ${audioState}), ` +
    `then goes on (${h3.toFixed(3)} s after 1 s)`);

  // Keys still end the demo after the buttons were used.
  await page.keyboard.press('KeyQ');
  try {
    await page.waitForFunction(() => document.body.dataset.screen === 'again' && window.plivakTest.status === 0, { timeout: 15000 });
    console.log('after the controls, a key ended the demo');
  } catch {
    fail(`after the controls and a key: screen ${await page.evaluate(() => document.body.dataset.screen)}`);
  }
  await page.close();

  // Addresses that name no moment: the line naming the forms, and the
  // offer to start from the beginning, which plays from 0.
  for (const [hash, want] of [['#t=banana', 'm:ss'], ['#step=19', '1 to 18']]) {
    const bad = await browser.newPage();
    bad.on('pageerror', (e) => fail('page error: ' + e.message));
    await bad.goto(url + hash);
    await bad.waitForSelector('#start:not([hidden])', { timeout: 30000 });
    await bad.click('#start');
    await bad.waitForFunction(() => document.body.dataset.screen !== 'busy', { timeout: 60000 });
    const [screen, text, offer] = await bad.evaluate(() => [document.body.dataset.screen, document.getElementById('message').textContent,
      document.getElementById('fromstart').hidden ? null : document.getElementById('fromstart').textContent]);
    if (screen !== 'badtime' || !text.includes(want) || text.includes('\n') || offer !== 'start from the beginning') {
      fail(`${hash}: screen ${screen}, line ${JSON.stringify(text)}, offer ${JSON.stringify(offer)}`);
    } else {
      await bad.click('#fromstart');
      await bad.waitForFunction(() => window.plivakTest.stats && window.plivakTest.stats.count > 10, { timeout: 60000 });
      const [first, address] = await bad.evaluate(() => [window.plivakTest.stats.time[0], location.hash]);
      if (first > 1 || address) fail(`${hash}: "start from the beginning" started at ${first} s, address ${address}`);
      else console.log(`${hash}: the page says "${text}" and offers "${offer}", which plays from 0`);
    }
    await bad.close();
  }

  // No chapter file, or a damaged one: one line, the show from the
  // beginning although the address asks for 2:05, and no chapters.
  for (const where of ['nochapters', 'badchapters']) {
    const p = await browser.newPage();
    p.on('pageerror', (e) => fail('page error: ' + e.message));
    await p.goto(`${url}${where}/#t=2:05`);
    await p.waitForSelector('#start:not([hidden])', { timeout: 30000 });
    await p.click('#start');
    await p.waitForFunction(() => (window.plivakTest.stats && window.plivakTest.stats.count > 10) || window.plivakTest.status !== null, { timeout: 60000 });
    const [first, note, listed, status] = await p.evaluate(() => [window.plivakTest.stats.time[0], document.getElementById('seeknote').hidden ? null :
      document.getElementById('seeknote').textContent, document.getElementById('chapters').hidden ? 0 : document.querySelectorAll('#chapters button').length,
    window.plivakTest.status]);
    if (status !== null || first > 1 || !note || !note.includes('chapters') || listed !== 0)
      fail(`${where}: status ${status}, first picture at ${first} s, note ${JSON.stringify(note)}, ${listed} chapters listed`);
    else console.log(`${where}: the page says "${note}" and plays from the beginning`);
    await p.close();
  }
}

// Seek latency per step (--bench): from the request to the picture on the
// screen, as the page's own stamps give it.
async function benchSeeks(browser) {
  const page = await browser.newPage();
  page.on('pageerror', (e) => fail('page error: ' + e.message));
  await page.goto(url);
  await page.waitForSelector('#start:not([hidden])', { timeout: 30000 });
  await page.click('#start');
  await page.waitForFunction(() => window.plivakTest.show && window.plivakTest.stats.count > 5, { timeout: 60000 });
  const starts = await page.evaluate(() => {
    const m = window.plivakTest.show;
    return Array.from({ length: m._plivak_page_chapter_count() }, (_, i) => Math.round(m._plivak_page_chapter_start(i) * 60));
  });
  const logFile = path.join(nativeDir, 'chapters_show.log');
  const lastFrame = fs.existsSync(logFile) ? fs.readFileSync(logFile, 'utf8').trimEnd().split('\n').length - 1 : starts[17] + 600 * 60 - 1;
  // Asks for a seek to `frame` through the page's own seek and waits for
  // its picture; the milliseconds the page measured.
  const seekTo = async (frame) => {
    const n = await page.evaluate((f) => {
      const t = window.plivakTest;
      t.seekTo(f / 60);
      return t.seeks.length;
    }, frame);
    await page.waitForFunction((k) => window.plivakTest.seeks.length > k || window.plivakTest.status !== null, { timeout: 120000, polling: 10 }, n);
    const s = await page.evaluate((k) => window.plivakTest.seeks[k], n);
    if (!s || s.frame !== frame) throw new Error(`the seek to frame ${frame} did not show it`);
    await sleep(100);
    return s.ms / 1000;
  };
  console.log('step  to its start (s)  to its last frame (s)  pre-roll (s)  x real');
  let worstStart = 0, worstAny = 0;
  for (let step = 1; step <= 18; ++step) {
    const start = starts[step - 1];
    const end = step < 18 ? starts[step] - 1 : start + 599;
    const a = await seekTo(start);
    const b = await seekTo(end);
    const preroll = (end - start) / 60;
    console.log(`${String(step).padEnd(5)} ${a.toFixed(3).padEnd(17)} ${b.toFixed(3).padEnd(22)} ${preroll.toFixed(2).padEnd(13)} ${(preroll / b).toFixed(0)}x`);
    worstStart = Math.max(worstStart, a);
    if (step < 18) worstAny = Math.max(worstAny, b);
  }
  for (const k of [1, 30]) {
    const s = await seekTo(starts[17] + 600 * k - 2);
    console.log(`closing part, ${10 * k} s in, the frame before its point: ${s.toFixed(3)} s`);
  }
  console.log(`closing part, its last frame (${lastFrame}): ${(await seekTo(lastFrame)).toFixed(3)} s`);
  console.log(`worst seek to a chapter start: ${worstStart.toFixed(3)} s (goal 0.5 s); to any moment of the 17 parts: ${worstAny.toFixed(3)} s (goal 3 s)`);
  await page.keyboard.press('KeyQ');
  await page.close();
}

// ---- the run ----

const failures = [];
const fail = (text) => { failures.push(text); console.log('FAIL ' + text); };
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'plivak-browser-'));
const server = await serve(webDir);
const url = `http://127.0.0.1:${server.address().port}/`;
const puppeteer = loadPuppeteer();
const browser = await puppeteer.launch({
  executablePath: CHROMIUM,
  headless: true,
  args: ['--no-sandbox', '--mute-audio'],
});
try {
  if (bench) {
    await benchSeeks(browser);
  } else {
    await playChecks(browser);
    await seekChecks(browser);
    pageWeight();
  }
} finally {
  await browser.close();
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
console.log(failures.length ? `browser test: ${failures.length} failure(s)` : 'browser test: pass');
process.exit(failures.length ? 1 : 0);
