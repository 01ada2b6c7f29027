// For plivak-gz-probe-streams: the page's gzip path under node. The
// folders of the files named on the command line are decoded ahead.
Module['gzipWithStreams'] = true;
Module['gzipDecodeAhead'] = process.argv.slice(2).map(function(f) { return require('path').dirname(f); });
