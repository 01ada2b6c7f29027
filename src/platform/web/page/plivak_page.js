// The page around the demo: the canvas and its pacing, the keyboard, the
// audio worklet, the data files and the screens before and after a show.
//
// Each show is a fresh instance of the program (plivak.js, a module
// factory): its memory starts as a native process's would, and the data
// files fetched once are written into its file system each time. The
// program's console and music backends (ptc_web.cpp, midas_web.cpp) call
// the object `plivak` below through Module.plivak.
'use strict';
(() => {
  const FRAME_MS = 1000 / 60;
  const SAMPLE_RATE = 44100;
  // Keys pressed on their own without meaning "stop", as in the window.
  const NOT_KEYS = new Set(['Shift', 'Control', 'Alt', 'AltGraph', 'Meta', 'OS', 'Super', 'Hyper',
    'CapsLock', 'NumLock', 'ScrollLock', 'Fn', 'FnLock', 'Symbol', 'SymbolLock']);
  const STATS = 120000;  // presents recorded for the frame-cost figures (33 min at 60 a second)

  const el = (id) => document.getElementById(id);
  const canvas = el('screen');
  const g = canvas.getContext('2d', { alpha: false });
  const overlay = el('overlay');
  const note = el('note');
  const startButton = el('start');
  const againButton = el('again');
  const message = el('message');
  const query = new URLSearchParams(location.search);

  // ---- screens ----

  function showScreen(text, button, error) {
    overlay.hidden = false;
    note.textContent = text;
    note.hidden = !text;
    startButton.hidden = button !== startButton;
    againButton.hidden = button !== againButton;
    message.hidden = !error;
    message.textContent = error || '';
    if (button) button.focus();
    document.body.dataset.screen = button === startButton ? 'start' : button === againButton ? 'again' : error ? 'error' : 'busy';
  }

  el('fullscreen').addEventListener('click', (e) => {
    const stage = el('stage');
    if (document.fullscreenElement) document.exitFullscreen();
    else if (stage.requestFullscreen) stage.requestFullscreen().catch(() => {});
    e.currentTarget.blur();
  });

  // ---- the clock, held while a test looks at a frame ----

  let heldMs = 0;       // time spent held, left out of the clock
  let holdStart = -1;   // performance.now() when the hold began, -1: not held
  const clockMs = () => (holdStart >= 0 ? holdStart : performance.now()) - heldMs;

  // ---- pacing: the native vsync rule on requestAnimationFrame ----
  //
  // An absolute tick every 1/60 s. On a display of about 60 Hz each present
  // goes out at the refresh nearest its tick (half a frame of slack either
  // side), so every refresh carries one; on a faster display, at the first
  // refresh after its tick. A present that comes more than a frame late
  // starts the ticks again from now instead of rushing to catch up.

  let refreshMs = FRAME_MS;  // measured on the start screen
  let lead = FRAME_MS / 2;

  function measureRefresh() {
    return new Promise((resolve) => {
      const stamps = [];
      const step = (t) => {
        stamps.push(t);
        if (stamps.length < 25) requestAnimationFrame(step);
        else {
          const d = stamps.slice(1).map((v, i) => v - stamps[i]).sort((a, b) => a - b);
          refreshMs = d[d.length >> 1];
          const hz = 1000 / refreshMs;
          lead = hz >= 58 && hz <= 62 ? FRAME_MS / 2 : 0;
          resolve(hz);
        }
      };
      requestAnimationFrame(step);
    });
  }

  // ---- audio ----

  const audio = {
    ctx: null,
    node: null,
    reason: 'not started',
    epoch: 0,
    played: 0, reportFrame: 0, heardMax: 0, pushed: 0, dry: true,
    late: null, lateCount: 0,

    // Called from the start button's click: a context made outside a
    // gesture stays suspended.
    begin() {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) { this.reason = 'this browser has no Web Audio'; return; }
      if (!this.ctx) {
        try {
          this.ctx = new Context({ sampleRate: SAMPLE_RATE, latencyHint: 'interactive' });
        } catch (e) {
          this.reason = 'the browser refused an audio context at 44.1 kHz: ' + e.message;
          return;
        }
      }
      this.resumed = this.ctx.resume().catch(() => {});
    },

    async ready() {
      if (!this.ctx) return false;
      if (!this.ctx.audioWorklet) { this.reason = 'this browser has no AudioWorklet'; return false; }
      const timeout = new Promise((r) => setTimeout(r, 3000));
      try {
        if (!this.moduleAdded) {
          await this.ctx.audioWorklet.addModule('plivak_audio_worklet.js');
          this.moduleAdded = true;
        }
        await Promise.race([this.resumed, timeout]);
      } catch (e) {
        this.reason = 'the audio worklet did not load: ' + e.message;
        return false;
      }
      if (this.ctx.state !== 'running') { this.reason = 'the browser did not start audio (' + this.ctx.state + ')'; return false; }
      if (this.node) this.node.disconnect();
      this.node = new AudioWorkletNode(this.ctx, 'plivak-player', { numberOfInputs: 0, outputChannelCount: [2] });
      this.node.port.onmessage = (e) => {
        const d = e.data;
        if (d.epoch !== this.epoch) return;
        this.played = d.played;
        this.reportFrame = d.frame;
        this.dry = d.dry;
      };
      this.node.connect(this.ctx.destination);
      this.flush();
      this.late = new Float32Array(4096);
      this.lateCount = 0;
      return true;
    },

    end() {
      if (this.node) { this.node.disconnect(); this.node = null; }
    },

    // The context frame being heard now: the browser's output timestamp,
    // carried forward on the page clock, or its reported latencies.
    heardContextFrame() {
      const ctx = this.ctx;
      let t;
      const ts = ctx.getOutputTimestamp ? ctx.getOutputTimestamp() : null;
      if (ts && ts.contextTime > 0) {
        t = Math.min(ts.contextTime + (performance.now() - ts.performanceTime) / 1000, ctx.currentTime);
      } else {
        t = ctx.currentTime - (ctx.outputLatency || 0) - (ctx.baseLatency || 0);
      }
      return t * ctx.sampleRate;
    },

    // For midas_web.cpp.
    running() { return this.node !== null; },
    describe() {
      if (!this.node) return this.reason;
      const ms = (this.ctx.currentTime * this.ctx.sampleRate - this.heardContextFrame()) / this.ctx.sampleRate * 1000;
      return this.ctx.sampleRate + ' Hz, output ' + ms.toFixed(1) + ' ms behind the render';
    },
    push(view) {
      const copy = view.slice();
      this.pushed += copy.length >> 1;  // before the transfer empties it
      this.node.port.postMessage({ samples: copy }, [copy.buffer]);
    },
    // Frames of the stream heard so far: what the worklet had played at its
    // last report, moved on to the frame being heard now (back, when the
    // output lags the render), never past what was posted and never back.
    // While the worklet has nothing to play, the count stops at its report.
    heard() {
      let moved = this.heardContextFrame() - this.reportFrame;
      if (this.dry) moved = Math.min(moved, 0);
      const h = Math.min(this.played + moved, this.pushed);
      if (h > this.heardMax) this.heardMax = h;
      return this.heardMax;
    },
    flush() {
      this.epoch += 1;
      this.played = 0;
      this.reportFrame = this.ctx ? this.ctx.currentTime * this.ctx.sampleRate : 0;
      this.heardMax = -Infinity;
      this.pushed = 0;
      this.dry = true;
      if (this.node) this.node.port.postMessage({ flush: this.epoch });
    },
    syncFired(lateFrames) {
      if (this.late && this.lateCount < this.late.length) this.late[this.lateCount++] = lateFrames / SAMPLE_RATE * 1000;
    },
  };

  // ---- the program's console ----

  function makeConsole(stats) {
    let image = null;
    let keyDown = false;
    let paced = false;
    let nextTick = 0;
    let polledAt = 0;   // page time when the demo last polled the key
    let firstPoll = -1; // clock time of the first poll: the show's time 0
    let pollClock = 0;

    const onKey = (e) => {
      if (NOT_KEYS.has(e.key)) return;
      keyDown = true;
      if (!e.ctrlKey && !e.metaKey && !/^F\d+$/.test(e.key)) e.preventDefault();
    };

    return {
      open(title, width, height) {
        document.title = title;
        canvas.width = width;
        canvas.height = height;
        image = g.createImageData(width, height);
        g.fillStyle = '#000';
        g.fillRect(0, 0, width, height);
        overlay.hidden = true;
        document.body.dataset.screen = 'playing';
        window.addEventListener('keydown', onKey);
      },
      close() {
        window.removeEventListener('keydown', onKey);
      },
      keyPending() {
        polledAt = performance.now();
        pollClock = clockMs();
        if (firstPoll < 0) firstPoll = pollClock;
        return keyDown;
      },
      clock() { return clockMs() / 1000; },
      idle() { return new Promise((r) => setTimeout(r, 1)); },
      present(pixels, width, height) {
        const begin = performance.now();
        const showTime = (pollClock - firstPoll) / 1000;
        if (stats.count < STATS) {
          stats.time[stats.count] = showTime;
          stats.draw[stats.count] = begin - polledAt;
        }
        image.data.set(pixels);
        return new Promise((resolve) => {
          const now = clockMs();
          if (!paced || now > nextTick + FRAME_MS) { nextTick = now; paced = true; }
          const step = (stamp) => {
            // rAF stamps are on the page's time line; the ticks on the clock.
            if (stamp - heldMs < nextTick - lead) { requestAnimationFrame(step); return; }
            g.putImageData(image, 0, 0);
            nextTick += FRAME_MS;
            if (stats.count < STATS) stats.shown[stats.count++] = stamp;
            const hold = test.holdAt.length > 0 && showTime >= test.holdAt[0];
            if (!hold) { resolve(); return; }
            test.holdAt.shift();
            // The music's own time: the show time less the output latency.
            const musicTime = audio.node ? Math.max(0, audio.heard()) / SAMPLE_RATE : showTime;
            holdStart = performance.now();
            if (audio.node) audio.ctx.suspend();
            test.held = { showTime, musicTime };
            test.resume = () => {
              test.held = null;
              heldMs += performance.now() - holdStart;
              holdStart = -1;
              if (audio.node) audio.ctx.resume();
              resolve();
            };
          };
          requestAnimationFrame(step);
        });
      },
      audio,
    };
  }

  // ---- what a test may ask of the page (tests/web/browser.mjs) ----
  // holdAt: show times (s) at which to keep the presented frame on the
  // screen, clocks and music stopped, until test.resume() is called.

  const test = { holdAt: [], held: null, resume: null, stats: null, status: null };
  window.plivakTest = test;

  // ---- data files and the program ----

  let files = null;  // [name, Uint8Array] fetched once
  let openmpt = null;  // the libopenmpt instance the program's music calls go to

  async function fetchData() {
    const list = await fetch('data/files.txt');
    if (!list.ok) throw new Error('cannot fetch the data list data/files.txt (HTTP ' + list.status + ')');
    const names = (await list.text()).split('\n').map((s) => s.trim()).filter(Boolean);
    const got = await Promise.all(names.map(async (name) => {
      const r = await fetch('data/' + encodeURIComponent(name));
      // A file the server does not have is left out: the program then
      // reports it as the native one reports a missing file.
      return r.ok ? [name, new Uint8Array(await r.arrayBuffer())] : null;
    }));
    return got.filter(Boolean);
  }

  // The words of plivak.cfg: "verbose" always, so that a file that fails
  // to load is named; more from ?cfg=word+word (e.g. ?cfg=240).
  function configText() {
    return ['verbose'].concat((query.get('cfg') || '').split(/[\s,+]+/).filter(Boolean)).join(' ') + '\n';
  }

  async function play() {
    showScreen('Loading…', null, null);
    audio.begin();
    const errors = [];
    let status = null;
    try {
      if (!files) files = await fetchData();
      const sound = await audio.ready();
      const stats = { count: 0, time: new Float32Array(STATS), draw: new Float32Array(STATS), shown: new Float64Array(STATS) };
      test.stats = stats;
      test.status = null;
      test.audio = sound ? 'worklet' : 'silent: ' + audio.reason;
      test.late = audio;
      const plivak = makeConsole(stats);
      if (!openmpt) openmpt = await (await import('./libopenmpt.worklet.js')).default();
      const module = await createPlivak({
        plivak,
        openmpt,
        print: (line) => console.log(line),
        printErr: (line) => { console.warn(line); if (!/^loading /.test(line)) errors.push(line); },
        quit: (code) => { status = code; },
        // gzip files are decoded before main starts; gzopen then reads
        // them synchronously.
        gzipDecodeAhead: ['/plivak/data'],
        preRun: [(m) => {
          const FS = m.FS;
          FS.mkdirTree('/plivak/bin');
          FS.mkdirTree('/plivak/data');
          for (const [name, bytes] of files) FS.writeFile('/plivak/data/' + name, bytes);
          FS.writeFile('/plivak/bin/plivak.cfg', configText());
          FS.chdir('/plivak/bin');
        }],
      });
      const argv = module._malloc(16);
      const name = module._malloc(8);
      module.stringToUTF8('plivak', name, 8);
      module.HEAP32[argv >> 2] = name;
      module.HEAP32[(argv >> 2) + 1] = 0;
      try {
        const ret = await module.ccall('main', 'number', ['number', 'number'], [1, argv], { async: true });
        if (status === null) status = ret;
      } catch (e) {
        // exit() unwinds through here after quit has recorded its status.
        if (status === null) { status = 1; errors.push(String(e)); }
      }
      plivak.close();
    } catch (e) {
      status = 1;
      errors.push(e.message || String(e));
    }
    audio.end();
    test.status = status;
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    g.fillStyle = '#000';
    g.fillRect(0, 0, canvas.width, canvas.height);
    if (status === 0) {
      showScreen('', againButton, null);
    } else {
      showScreen('The demo could not start.', againButton, errors.join('\n') || 'exit status ' + status);
    }
  }

  startButton.addEventListener('click', play);
  againButton.addEventListener('click', play);

  // ---- what the browser must have ----

  function missing() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function')
      return 'This browser has no WebAssembly, which the demo is compiled to. It plays in any current Chrome, Edge, Firefox or Safari.';
    if (typeof AudioWorkletNode !== 'function')
      return 'This browser has no AudioWorklet, which plays the demo\'s music. It plays in any current Chrome, Edge, Firefox or Safari' +
        (window.isSecureContext ? '.' : ', from https:// or http://localhost (AudioWorklet needs a secure page).');
    return null;
  }

  const lack = missing();
  if (lack) {
    showScreen('The demo cannot play here.', null, lack);
  } else {
    measureRefresh().then((hz) => {
      test.refreshHz = hz;
      showScreen('', startButton, null);
    });
  }
})();
