// The three calls of zlib's gzip file interface that gz_stream.cpp makes,
// for the web build, which has no zlib: src/platform/web/gz_web.js
// implements them in JavaScript with the same results (a file without a
// gzip header is read as it is; a corrupt stream fails in gzread, one cut
// short in gzclose).
#pragma once

extern "C" {
typedef struct gzFile_web* gzFile;
gzFile gzopen(const char* path, const char* mode);
int gzread(gzFile file, void* buf, unsigned len);
int gzclose(gzFile file);
}

#define Z_OK 0
