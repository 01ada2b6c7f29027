// Runs before main (a preRun step, when the runtime's environment is known): makes sure Module.openmpt, the libopenmpt instance that
// web/openmpt_bridge.js forwards to, exists when the demo starts.
//
// A page hands it in in one of two ways, before this script loads:
//   Module.openmpt      = an instance already created;
//   Module.loadOpenmpt  = a function returning a promise of one.
// Otherwise, under node, the instance is made from libopenmpt.worklet.js
// (the npm package chiptune3), looked for beside this script and in its
// parent folder.
Module['preRun'] = [].concat(Module['preRun'] || [], function plivakLoadOpenmpt() {
  if (!Module['openmpt']) {
    addRunDependency('openmpt');
    var plivakOpenmptLoading;
    if (Module['loadOpenmpt']) {
      plivakOpenmptLoading = Promise.resolve(Module['loadOpenmpt']());
    } else if (ENVIRONMENT_IS_NODE) {
      var plivakPath = require('path');
      var plivakFs = require('fs');
      var plivakCandidates = [plivakPath.join(__dirname, 'libopenmpt.worklet.js'),
                              plivakPath.join(__dirname, '..', 'libopenmpt.worklet.js')];
      var plivakFile = plivakCandidates.find(function(f) { return plivakFs.existsSync(f); });
      plivakOpenmptLoading = plivakFile
          // (import() is hidden in a Function: emscripten's JS optimiser
          // cannot parse it.)
          ? new Function('url', 'return import(url)')(require('url').pathToFileURL(plivakFile).href)
                .then(function(m) { return m.default(); })
          : Promise.reject(new Error('libopenmpt.worklet.js not found beside ' + __dirname));
    } else {
      plivakOpenmptLoading = Promise.reject(new Error('no libopenmpt instance: set Module.openmpt or Module.loadOpenmpt'));
    }
    plivakOpenmptLoading.then(function(instance) {
      Module['openmpt'] = instance;
      removeRunDependency('openmpt');
    }, function(error) {
      err('openmpt: ' + (error && error.message ? error.message : error));
      abort('libopenmpt could not be loaded');
    });
  }
});
