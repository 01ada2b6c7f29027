// gzopen, gzread and gzclose for the web build (declared in data/gz_web.h),
// matching what zlib's gzip file interface does with the demo's files:
//  - a file that does not begin with the gzip magic is read as it is;
//  - gzip members follow each other; bytes after a member that do not begin
//    another one are ignored;
//  - a corrupt member (bad header, bad deflate data, wrong CRC or length)
//    makes gzread fail; one cut short gives its data and makes gzclose fail.
// gzopen reads and decodes the whole file; gzread hands it out.
//
// The deflate data is inflated by node's zlib under node, and in a browser
// by DecompressionStream("deflate-raw"), which is asynchronous: there
// gzopen needs a build with ASYNCIFY.
mergeInto(LibraryManager.library, {
  $PlivakGz: {
    files: {},
    next: 1,
    OK: 0, TRUNCATED: 1, CORRUPT: 2,

    // Parses the member header at pos: the offset of its deflate data, -1
    // when the bytes end first, -2 when the header is invalid.
    header: function(b, pos) {
      var n = b.length;
      if (n - pos < 10) return -1;
      if (b[pos + 2] !== 8 || (b[pos + 3] & 0xe0)) return -2;
      var flags = b[pos + 3];
      var p = pos + 10;
      if (flags & 4) {
        if (n - p < 2) return -1;
        p += 2 + (b[p] | b[p + 1] << 8);
      }
      for (var bit = 8; bit <= 16; bit <<= 1) {
        if (!(flags & bit)) continue;
        while (p < n && b[p] !== 0) ++p;
        if (p >= n) return -1;
        ++p;
      }
      if (flags & 2) p += 2;
      return p > n ? -1 : p;
    },

    crc32: function(data) {
      var table = PlivakGz.table;
      if (!table) {
        table = PlivakGz.table = new Int32Array(256);
        for (var i = 0; i < 256; ++i) {
          var c = i;
          for (var k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
          table[i] = c;
        }
      }
      var crc = -1;
      for (var j = 0; j < data.length; ++j) crc = table[(crc ^ data[j]) & 0xff] ^ (crc >>> 8);
      return (crc ^ -1) >>> 0;
    },

    // Decodes a whole file. inflate(bytes) returns {data, used, status},
    // used being the input bytes the deflate stream took (a promise of
    // that in a browser). Returns (a promise of) {data, status}.
    decode: function(bytes, inflate, sync) {
      var b = bytes;
      if (b.length < 2 || b[0] !== 0x1f || b[1] !== 0x8b) return {data: b, status: PlivakGz.OK};
      var parts = [];
      var finish = function(status) {
        var total = 0;
        parts.forEach(function(p) { total += p.length; });
        var out = new Uint8Array(total);
        var at = 0;
        parts.forEach(function(p) { out.set(p, at); at += p.length; });
        return {data: out, status: status};
      };
      var member = function(pos) {
        for (;;) {
          if (pos > 0 && (b.length - pos < 2 || b[pos] !== 0x1f || b[pos + 1] !== 0x8b)) return finish(PlivakGz.OK);
          var start = PlivakGz.header(b, pos);
          if (start === -1) return finish(PlivakGz.TRUNCATED);
          if (start === -2) return finish(PlivakGz.CORRUPT);
          var r = inflate(b.subarray(start));
          if (!sync) return r.then(function(res) { return after(start, res); });
          var next = after(start, r);
          if (typeof next !== 'number') return next;
          pos = next;
        }
      };
      // The member's trailer: the next member's offset, or the result.
      var after = function(start, r) {
        if (r.data) parts.push(r.data);
        if (r.status !== PlivakGz.OK) return finish(r.status);
        var t = start + r.used;
        if (b.length - t < 8) return finish(PlivakGz.TRUNCATED);
        var crc = (b[t] | b[t + 1] << 8 | b[t + 2] << 16 | b[t + 3] << 24) >>> 0;
        var size = (b[t + 4] | b[t + 5] << 8 | b[t + 6] << 16 | b[t + 7] << 24) >>> 0;
        if (crc !== PlivakGz.crc32(r.data) || size !== (r.data.length >>> 0)) return finish(PlivakGz.CORRUPT);
        if (sync) return t + 8;
        return member(t + 8);
      };
      return member(0);
    },

    inflateNode: function(input) {
      var zlib = require('zlib');
      try {
        var r = zlib.inflateRawSync(input, {info: true});
        return {data: new Uint8Array(r.buffer), used: r.engine.bytesWritten, status: PlivakGz.OK};
      } catch (e) {
        return {data: null, used: 0, status: e.code === 'Z_BUF_ERROR' ? PlivakGz.TRUNCATED : PlivakGz.CORRUPT};
      }
    },

    // The browser's inflater does not say where the deflate data ended; a
    // demo file is one member, so the trailer is taken to be the last eight
    // bytes.
    inflateBrowser: function(input) {
      var body = input.length >= 8 ? input.subarray(0, input.length - 8) : input;
      var stream = new Blob([body]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
      return new Response(stream).arrayBuffer().then(function(buffer) {
        return {data: new Uint8Array(buffer), used: body.length, status: PlivakGz.OK};
      }, function(e) {
        var truncated = input.length < 8 || /end|truncat/i.test(String(e && e.message));
        return {data: null, used: 0, status: truncated ? PlivakGz.TRUNCATED : PlivakGz.CORRUPT};
      });
    },

    // The file's bytes, or null when it cannot be opened; a directory opens
    // and fails at the first read, as with zlib.
    readFile: function(path) {
      try {
        return FS.readFile(path);
      } catch (e) {
        return PlivakGz.isDir(path) ? 'unreadable' : null;
      }
    },
    isDir: function(path) {
      try { return FS.isDir(FS.stat(path).mode); } catch (e) { return false; }
    },

    add: function(result) {
      var id = PlivakGz.next++;
      PlivakGz.files[id] = {data: result.data, status: result.status, pos: 0};
      return id;
    },
  },

  gzopen__deps: ['$PlivakGz', '$FS'],
#if ASYNCIFY
  gzopen__sig: 'iii',
#endif
  gzopen: function(path, mode) {
    var bytes = PlivakGz.readFile(UTF8ToString(path));
    if (bytes === null) return 0;
    if (bytes === 'unreadable') return PlivakGz.add({data: new Uint8Array(0), status: PlivakGz.CORRUPT});
    if (ENVIRONMENT_IS_NODE) return PlivakGz.add(PlivakGz.decode(bytes, PlivakGz.inflateNode, true));
#if ASYNCIFY
    return Asyncify.handleAsync(function() {
      // decode answers at once for a plain file or a bad header.
      return Promise.resolve(PlivakGz.decode(bytes, PlivakGz.inflateBrowser, false)).then(PlivakGz.add);
    });
#else
    throw new Error('gzopen: reading a file in the browser needs a build with ASYNCIFY');
#endif
  },

  gzread__deps: ['$PlivakGz'],
  gzread: function(file, buf, len) {
    var f = PlivakGz.files[file];
    if (!f) return -1;
    // A corrupt stream fails at the read where zlib meets the fault; its
    // decoded part is never used, so it fails at once.
    if (f.status === PlivakGz.CORRUPT) return -1;
    var n = Math.min(len, f.data.length - f.pos);
    HEAPU8.set(f.data.subarray(f.pos, f.pos + n), buf);
    f.pos += n;
    return n;
  },

  gzclose__deps: ['$PlivakGz'],
  gzclose: function(file) {
    var f = PlivakGz.files[file];
    if (!f) return -2;  // Z_STREAM_ERROR
    delete PlivakGz.files[file];
    return f.status === PlivakGz.TRUNCATED ? -5 : 0;  // Z_BUF_ERROR after a stream cut short
  },
});
