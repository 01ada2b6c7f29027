// The page around the demo: the canvas and its pacing, the keyboard, the
// audio worklet, the data files, the screens before and after a show, and
// the controls below the canvas (pause, the show time, the chapters).
//
// Each show is a fresh instance of the program (plivak.js, a module
// factory): its memory starts as a native process's would, and the data
// files fetched once are written into its file system each time. The
// program's console and music backends (ptc_web.cpp, midas_web.cpp) call
// the object `plivak` below through Module.plivak; the page reaches the
// program's seek and pause through its exports (host/page_controls.h),
// only while the program waits for it (a present or an idle key poll):
// a seek or a pause is a request that the program's next key poll applies.
//
// #t=2:05 (or #t=125.5) and #step=6 in the address start the show there.
// While the tab is hidden the show is held as by a pause: the page's clock,
// the presents and the music stand still, and go on when it is shown.
'use strict';
(() => {
  const FRAME_MS = 1000 / 60;
  const SAMPLE_RATE = 44100;
  // Keys pressed on their own without meaning "stop", as in the window.
  const NOT_KEYS = new Set(['Shift', 'Control', 'Alt', 'AltGraph', 'Meta', 'OS', 'Super', 'Hyper',
    'CapsLock', 'NumLock', 'ScrollLock', 'Fn', 'FnLock', 'Symbol', 'SymbolLock']);
  const STATS = 120000;  // presents recorded for the frame-cost figures (33 min at 60 a second)
  const FPS = 60;         // the show's frames a second, as the chapter file's

  const el = (id) => document.getElementById(id);
  const canvas = el('screen');
  const g = canvas.getContext('2d', { alpha: false });
  const overlay = el('overlay');
  const note = el('note');
  const startButton = el('start');
  const againButton = el('again');
  const fromStartButton = el('fromstart');
  const message = el('message');
  const pauseButton = el('pause');
  const timeText = el('time');
  const chapterList = el('chapters');
  const seekNote = el('seeknote');
  const query = new URLSearchParams(location.search);

  // ---- screens ----

  function showScreen(text, button, error) {
    overlay.hidden = false;
    note.textContent = text;
    note.hidden = !text;
    startButton.hidden = button !== startButton;
    againButton.hidden = button !== againButton;
    fromStartButton.hidden = button !== fromStartButton;
    message.hidden = !error;
    message.textContent = error || '';
    if (button) button.focus();
    document.body.dataset.screen = button === startButton ? 'start' : button === againButton ? 'again' :
      button === fromStartButton ? 'badtime' : error ? 'error' : 'busy';
  }

  el('fullscreen').addEventListener('click', (e) => {
    const stage = el('stage');
    if (document.fullscreenElement) document.exitFullscreen();
    else if (stage.requestFullscreen) stage.requestFullscreen().catch(() => {});
    e.currentTarget.blur();
  });

  // ---- holds: the page's clock, presents and music stand still ----
  //
  // While the tab is hidden ('hidden') and while a test looks at a frame
  // ('test'). The clock the program reads leaves the held time out, no
  // present reaches the screen, an idle key poll waits, and the audio
  // context is suspended, so the show goes on from the same moment.

  const holds = new Set();
  let heldMs = 0;       // time spent held, left out of the clock
  let holdStart = -1;   // performance.now() when the hold began, -1: not held
  const clockMs = () => (holdStart >= 0 ? holdStart : performance.now()) - heldMs;
  let idleWake = null;  // ends the program's idle wait early (a key, a control, a release)
  const wake = () => { if (idleWake) idleWake(); };

  function hold(reason) {
    if (holds.has(reason)) return;
    if (holds.size === 0) holdStart = performance.now();
    holds.add(reason);
    audio.hold(reason);
  }

  function release(reason) {
    if (!holds.delete(reason)) return;
    if (holds.size === 0) {
      heldMs += performance.now() - holdStart;
      holdStart = -1;
    }
    audio.release(reason);
    wake();
  }

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
    holds: new Set(),  // why the context is suspended: a page hold, or 'pause' (the show's)

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
      this.holds.clear();
    },

    hold(reason) {
      if (this.holds.size === 0 && this.node) this.ctx.suspend();
      this.holds.add(reason);
    },
    release(reason) {
      if (this.holds.delete(reason) && this.holds.size === 0 && this.node) this.ctx.resume();
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
    // The show's pause (midas_web.cpp): the queue stays and the context
    // is suspended, so the sound goes on from the same sample.
    pause(on) {
      if (on) this.hold('pause');
      else this.release('pause');
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
    // The time since the first poll: the capture's clock starts there (the
    // work before it takes no time on the virtual clock), so the figures
    // and the test's holdAt use it; a seek's frame is the program's own.
    let firstPoll = -1;
    let pollClock = 0;

    const onKey = (e) => {
      if (NOT_KEYS.has(e.key)) return;
      keyDown = true;
      wake();
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
      // An idle key poll (a waiting loop, or a paused show, which is woken
      // rarely): a moment for the browser; none while the tab is hidden.
      idle(paused) {
        return new Promise((resolve) => {
          let timer = 0;
          const go = () => {
            if (holds.has('hidden')) return;  // released: wake() comes again
            clearTimeout(timer);
            idleWake = null;
            resolve();
          };
          idleWake = go;
          timer = setTimeout(go, paused ? 100 : 1);
        });
      },
      // frame: the show's frame this picture is, on its clock.
      present(pixels, width, height, frame) {
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
            if (holds.has('hidden') || stamp - heldMs < nextTick - lead) { requestAnimationFrame(step); return; }
            g.putImageData(image, 0, 0);
            nextTick += FRAME_MS;
            if (stats.count < STATS) stats.shown[stats.count++] = stamp;
            seekShown(frame);
            const held = test.holdFrame === frame || (test.holdAt.length > 0 && showTime >= test.holdAt[0]);
            if (!held) { resolve(); return; }
            if (test.holdFrame === frame) test.holdFrame = -1;
            else test.holdAt.shift();
            // The music's own time: the show time less the output latency.
            const musicTime = audio.node ? Math.max(0, audio.heard()) / SAMPLE_RATE : showTime;
            hold('test');
            test.held = { showTime, musicTime, frame };
            test.resume = () => {
              test.held = null;
              release('test');
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
  // screen, clocks and music stopped, until test.resume() is called;
  // holdFrame: the same for the present of one frame (a seek's target).
  // seeks: each seek's target frame and the milliseconds from the request
  // to its picture on the screen. show: the running show's exports.

  const test = { holdAt: [], holdFrame: -1, held: null, resume: null, stats: null, status: null, seeks: [], show: null };
  window.plivakTest = test;

  // ---- data files and the program ----

  let files = null;  // [name, Uint8Array] fetched once
  let openmpt = null;  // the libopenmpt instance the program's music calls go to

  // The chapter file (most of the data's weight) is not in the list: its
  // download starts as the page opens, beside the start screen, and the
  // first show waits for it only if it has not arrived by the click.
  const chapterFile = fetch('data/chapters.dat').then(async (r) => (r.ok ? new Uint8Array(await r.arrayBuffer()) : null))
    .catch(() => null);

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
    // Without it the program says so in one line and plays without seeking.
    got.push(['chapters.dat', await chapterFile]);
    return got.filter((f) => f && f[1]);
  }

  // The words of plivak.cfg: "verbose" always, so that a file that fails
  // to load is named; more from ?cfg=word+word (e.g. ?cfg=240).
  function configText() {
    return ['verbose'].concat((query.get('cfg') || '').split(/[\s,+]+/).filter(Boolean)).join(' ') + '\n';
  }

  // ---- the show's controls: pause, time, chapters, the address ----

  let show = null;        // the running show: { module, live, chapters }
  let chapters = [];      // [{ step, name, start }] from the last show's chapter file
  let seekWatch = null;   // { frame, at }: a seek whose picture is awaited

  const mmss = (t) => `${Math.floor(t / 60)}:${String(Math.floor(t % 60)).padStart(2, '0')}`;

  // The address's start: { time, text } for #t=, { step, text } for #step=.
  function addressStart() {
    const h = new URLSearchParams(location.hash.slice(1));
    if (h.has('t')) return { time: true, text: h.get('t') };
    if (h.has('step')) return { step: true, text: h.get('step') };
    return null;
  }

  // Resolves an address start against the program: { time } or { step },
  // or { error } with the one line naming the accepted forms.
  function resolveStart(module, start) {
    if (start.time) {
      const t = module.ccall('plivak_page_parse_time', 'number', ['string'], [start.text]);
      if (t >= 0) return { time: t };
      const forms = module.UTF8ToString(module._plivak_page_time_forms());
      return { error: `#t=${start.text} is not a show time: #t= takes ${forms}` };
    }
    const n = /^\d{1,2}$/.test(start.text) ? Number(start.text) : 0;
    if (chapters.some((c) => c.step === n)) return { step: n };
    return { error: `#step=${start.text} is not a step: #step= takes a step number from 1 to ${chapters.length || 18}` };
  }

  // Asks the program for a seek (before the show: it starts there); the
  // latency to the picture is watched.
  function seek(m, target) {
    let frame;
    if (target.step) {
      if (!m._plivak_page_seek_step(target.step)) return false;
      frame = Math.round(chapters.find((c) => c.step === target.step).start * FPS);
    } else {
      if (!m._plivak_page_seek_time(target.time)) return false;
      frame = Math.ceil(target.time * FPS - 1e-3);  // as the program counts it (FrameAtTime)
    }
    seekWatch = { frame, at: performance.now() };
    wake();
    refresh();
    return true;
  }

  function seekShown(frame) {
    if (!seekWatch || frame !== seekWatch.frame) return;
    test.seeks.push({ frame, ms: performance.now() - seekWatch.at });
    seekWatch = null;
  }

  function showChapters() {
    chapterList.replaceChildren(...chapters.map((c) => {
      const item = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.step = c.step;
      const start = document.createElement('span');
      start.className = 'start';
      start.textContent = mmss(c.start);
      button.append(`${c.step} ${c.name}`, start);
      button.title = `step ${c.step}, from ${mmss(c.start)}`;
      item.append(button);
      return item;
    }));
    chapterList.hidden = chapters.length === 0;
  }

  // The time, the chapter playing and the pause button, from the program.
  function refresh() {
    if (!show || !show.live) return;
    const m = show.module;
    timeText.textContent = mmss(m._plivak_page_time());
    const step = m._plivak_page_step();
    for (const b of chapterList.querySelectorAll('button')) b.setAttribute('aria-current', String(Number(b.dataset.step) === step));
    pauseButton.textContent = m._plivak_page_paused() ? 'play' : 'pause';
  }

  chapterList.addEventListener('click', (e) => {
    const button = e.target.closest('button');
    if (!button) return;
    button.blur();  // keys end the demo; a focused button must not take them
    const step = Number(button.dataset.step);
    if (show && show.live) seek(show.module, { step });
    else if (!show && ['start', 'again', 'badtime'].includes(document.body.dataset.screen)) play({ step });
  });

  pauseButton.addEventListener('click', () => {
    pauseButton.blur();
    if (!show || !show.live) return;
    const m = show.module;
    m._plivak_page_pause(m._plivak_page_paused() ? 0 : 1);
    wake();
    refresh();
  });

  document.addEventListener('visibilitychange', () => {
    if (!show || !show.live) return;
    if (document.hidden) hold('hidden');
    else release('hidden');
  });

  window.addEventListener('hashchange', () => {
    const start = addressStart();
    if (!show || !show.live || !start || !chapters.length) return;
    const r = resolveStart(show.module, start);
    seekNote.hidden = !r.error;
    seekNote.textContent = r.error || '';
    if (!r.error) seek(show.module, r);
  });

  // For the seek benchmark: the seek a chapter click makes, to any time.
  test.seekTo = (seconds) => show && show.live && seek(show.module, { time: seconds });

  fromStartButton.addEventListener('click', () => {
    history.replaceState(null, '', location.pathname + location.search);
    play(null);
  });

  // start: null (the beginning), { step } (a chapter clicked before a
  // show), or the address's (addressStart()).
  async function play(start) {
    showScreen('Loading…', null, null);
    audio.begin();
    const errors = [];
    let status = null;
    seekNote.hidden = true;
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
      const lines = [];
      const module = await createPlivak({
        plivak,
        openmpt,
        print: (line) => console.log(line),
        printErr: (line) => { console.warn(line); lines.push(line); if (!/^loading /.test(line)) errors.push(line); },
        // After exit() the exports are gone: the controls stop asking.
        quit: (code) => { status = code; if (show) show.live = false; },
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
      // The chapters; without them one line says why, and the show plays
      // from the beginning with seeking off.
      const seekOn = module._plivak_page_begin() === 1;
      chapters = [];
      if (seekOn) {
        for (let i = 0, n = module._plivak_page_chapter_count(); i < n; ++i)
          chapters.push({ step: module._plivak_page_chapter_step(i), name: module.UTF8ToString(module._plivak_page_chapter_name(i)),
            start: module._plivak_page_chapter_start(i) });
      } else {
        seekNote.textContent = lines.length ? lines[lines.length - 1] : 'no chapters: the show plays from the beginning';
        seekNote.hidden = false;
        errors.length = 0;
        start = null;
      }
      showChapters();
      // A chapter clicked before the show is a step already; the address's
      // text is checked here, against the program's own reading of it.
      let target = start && start.text !== undefined ? resolveStart(module, start) : start;
      if (target && target.error) {
        // One line naming the forms, and the offer to play from the beginning.
        audio.end();
        test.status = 2;
        showScreen('', fromStartButton, target.error);
        return;
      }
      if (target) seek(module, target);
      const argv = module._malloc(16);
      const name = module._malloc(8);
      module.stringToUTF8('plivak', name, 8);
      module.HEAP32[argv >> 2] = name;
      module.HEAP32[(argv >> 2) + 1] = 0;
      show = { module, live: true };
      test.show = module;
      pauseButton.disabled = false;
      if (document.hidden) hold('hidden');
      const ticker = setInterval(refresh, 100);
      try {
        const ret = await module.ccall('main', 'number', ['number', 'number'], [1, argv], { async: true });
        if (status === null) status = ret;
      } catch (e) {
        // exit() unwinds through here after quit has recorded its status.
        if (status === null) { status = 1; errors.push(String(e)); }
      }
      show.live = false;
      clearInterval(ticker);
      plivak.close();
    } catch (e) {
      status = 1;
      errors.push(e.message || String(e));
    }
    release('hidden');
    show = null;
    test.show = null;
    seekWatch = null;
    pauseButton.disabled = true;
    pauseButton.textContent = 'pause';
    for (const b of chapterList.querySelectorAll('button')) b.setAttribute('aria-current', 'false');
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

  startButton.addEventListener('click', () => play(addressStart()));
  againButton.addEventListener('click', () => play(addressStart()));

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
