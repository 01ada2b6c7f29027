// The libopenmpt calls of midas_core.cpp for the web build. libopenmpt
// itself runs as a second WebAssembly instance (the npm package chiptune3's
// libopenmpt.worklet.js); these functions forward each call to it, copying
// the module file into its heap and the rendered frames back into ours.
// Module handles are that instance's own pointers, opaque on our side.
//
// The instance is Module.openmpt, set before main runs: web/openmpt_pre.js
// loads it (or takes the one the page hands in) under a run dependency.
mergeInto(LibraryManager.library, {
  $PlivakOpenmpt: {
    scratch: 0,       // the other instance's buffer for rendered frames
    scratchBytes: 0,
    lib: function() {
      var lib = Module['openmpt'];
      if (!lib) throw new Error('openmpt bridge: no libopenmpt instance (Module.openmpt) was loaded');
      return lib;
    },
    // Copies a NUL-terminated string of our heap into a new block of theirs.
    copyString: function(lib, ptr) {
      var s = UTF8ToString(ptr);
      var bytes = new TextEncoder().encode(s);
      var p = lib._malloc(bytes.length + 1);
      lib.HEAPU8.set(bytes, p);
      lib.HEAPU8[p + bytes.length] = 0;
      return p;
    },
  },

  // The logging and error callbacks are never called: their addresses are
  // only passed as in the native build, and the bridge leaves them behind.
  openmpt_log_func_silent: function(message, user) {},
  openmpt_error_func_ignore: function(error, user) { return 0; },

  openmpt_module_create_from_memory2__deps: ['$PlivakOpenmpt'],
  openmpt_module_create_from_memory2: function(data, size, logfunc, loguser, errfunc, erruser, error,
                                               errorMessage, ctls) {
    var lib = PlivakOpenmpt.lib();
    if (error) HEAP32[error >> 2] = 0;
    if (errorMessage) HEAP32[errorMessage >> 2] = 0;
    var p = lib._malloc(size);
    if (!p) return 0;
    lib.HEAPU8.set(HEAPU8.subarray(data, data + size), p);
    // The module keeps its own copy of the file.
    // No callbacks: the other instance's defaults log to the console, which
    // a well-formed module never reaches.
    var mod = lib._openmpt_module_create_from_memory2(p, size, 0, 0, 0, 0, 0, 0, 0);
    lib._free(p);
    return mod;
  },

  openmpt_module_destroy__deps: ['$PlivakOpenmpt'],
  openmpt_module_destroy: function(mod) { PlivakOpenmpt.lib()._openmpt_module_destroy(mod); },

  openmpt_module_read_interleaved_stereo__deps: ['$PlivakOpenmpt'],
  openmpt_module_read_interleaved_stereo: function(mod, rate, count, out) {
    var lib = PlivakOpenmpt.lib();
    var bytes = count * 4;
    if (bytes > PlivakOpenmpt.scratchBytes) {
      if (PlivakOpenmpt.scratch) lib._free(PlivakOpenmpt.scratch);
      PlivakOpenmpt.scratch = lib._malloc(bytes);
      PlivakOpenmpt.scratchBytes = PlivakOpenmpt.scratch ? bytes : 0;
      if (!PlivakOpenmpt.scratch) return 0;
    }
    var got = lib._openmpt_module_read_interleaved_stereo(mod, rate, count, PlivakOpenmpt.scratch) >>> 0;
    HEAPU8.set(lib.HEAPU8.subarray(PlivakOpenmpt.scratch, PlivakOpenmpt.scratch + got * 4), out);
    return got;
  },

  openmpt_module_get_current_order__deps: ['$PlivakOpenmpt'],
  openmpt_module_get_current_order: function(mod) { return PlivakOpenmpt.lib()._openmpt_module_get_current_order(mod); },
  openmpt_module_get_current_row__deps: ['$PlivakOpenmpt'],
  openmpt_module_get_current_row: function(mod) { return PlivakOpenmpt.lib()._openmpt_module_get_current_row(mod); },
  openmpt_module_get_current_pattern__deps: ['$PlivakOpenmpt'],
  openmpt_module_get_current_pattern: function(mod) { return PlivakOpenmpt.lib()._openmpt_module_get_current_pattern(mod); },
  openmpt_module_get_current_speed__deps: ['$PlivakOpenmpt'],
  openmpt_module_get_current_speed: function(mod) { return PlivakOpenmpt.lib()._openmpt_module_get_current_speed(mod); },
  openmpt_module_get_current_tempo__deps: ['$PlivakOpenmpt'],
  openmpt_module_get_current_tempo: function(mod) { return PlivakOpenmpt.lib()._openmpt_module_get_current_tempo(mod); },
  openmpt_module_get_num_orders__deps: ['$PlivakOpenmpt'],
  openmpt_module_get_num_orders: function(mod) { return PlivakOpenmpt.lib()._openmpt_module_get_num_orders(mod); },
  openmpt_module_get_pattern_num_rows__deps: ['$PlivakOpenmpt'],
  openmpt_module_get_pattern_num_rows: function(mod, pattern) {
    return PlivakOpenmpt.lib()._openmpt_module_get_pattern_num_rows(mod, pattern);
  },
  openmpt_module_set_position_order_row__deps: ['$PlivakOpenmpt'],
  openmpt_module_set_position_order_row: function(mod, order, row) {
    return PlivakOpenmpt.lib()._openmpt_module_set_position_order_row(mod, order, row);
  },
  openmpt_module_set_repeat_count__deps: ['$PlivakOpenmpt'],
  openmpt_module_set_repeat_count: function(mod, count) {
    return PlivakOpenmpt.lib()._openmpt_module_set_repeat_count(mod, count);
  },

  // The seek's silent fast-forward lowers the interpolation filter; where
  // the other instance lacks the calls, the calls fail and it renders as
  // it is.
  openmpt_module_get_render_param__deps: ['$PlivakOpenmpt'],
  openmpt_module_get_render_param: function(mod, param, out) {
    var lib = PlivakOpenmpt.lib();
    if (!lib._openmpt_module_get_render_param || !lib._malloc) return 0;
    var p = lib._malloc(4);
    if (!p) return 0;
    var ok = lib._openmpt_module_get_render_param(mod, param, p);
    var value = new DataView(lib.HEAPU8.buffer).getInt32(p, true);
    lib._free(p);
    new DataView(HEAPU8.buffer).setInt32(out, value, true);
    return ok;
  },
  openmpt_module_set_render_param__deps: ['$PlivakOpenmpt'],
  openmpt_module_set_render_param: function(mod, param, value) {
    var lib = PlivakOpenmpt.lib();
    return lib._openmpt_module_set_render_param ? lib._openmpt_module_set_render_param(mod, param, value) : 0;
  },

  // The 64-bit value arrives as a BigInt, or as two 32-bit halves where the
  // build legalises 64-bit arguments; the other instance takes a BigInt.
  openmpt_module_ctl_set_integer__deps: ['$PlivakOpenmpt'],
  openmpt_module_ctl_set_integer: function(mod, ctl, low, high) {
    var lib = PlivakOpenmpt.lib();
    var value = typeof low === 'bigint' ? low : (BigInt(high | 0) << BigInt(32)) + BigInt(low >>> 0);
    var p = PlivakOpenmpt.copyString(lib, ctl);
    var ok = lib._openmpt_module_ctl_set_integer(mod, p, value);
    lib._free(p);
    return ok;
  },
});
