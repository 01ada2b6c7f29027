// Plays the music the page renders: interleaved 16-bit stereo at the
// context's rate, posted in batches. It only plays what it is given and
// reports, every few render quanta and whenever it runs dry, how many
// frames it has played by the end of which context frame; the page turns
// that into the heard clock. A flush drops what is queued and starts the
// count again under a new epoch, so that a report from before the flush is
// told apart.
class PlivakPlayer extends AudioWorkletProcessor {
  constructor() {
    super();
    this.queue = [];    // Int16Array batches
    this.offset = 0;    // frames of queue[0] already played
    this.played = 0;    // frames played since the last flush
    this.epoch = 0;
    this.quanta = 0;
    this.dry = false;
    this.port.onmessage = (e) => {
      const d = e.data;
      if (d.flush !== undefined) {
        this.queue = [];
        this.offset = 0;
        this.played = 0;
        this.epoch = d.flush;
        this.dry = true;
        this.report();
      } else {
        this.queue.push(d.samples);
      }
    };
  }

  report() {
    this.port.postMessage({ epoch: this.epoch, played: this.played, frame: currentFrame, dry: true });
  }

  process(inputs, outputs) {
    const left = outputs[0][0];
    const right = outputs[0][1] || left;
    const n = left.length;
    let i = 0;
    while (i < n && this.queue.length > 0) {
      const batch = this.queue[0];
      const frames = batch.length >> 1;
      const take = Math.min(n - i, frames - this.offset);
      for (let k = 0, s = this.offset * 2; k < take; ++k, s += 2) {
        left[i + k] = batch[s] / 32768;
        right[i + k] = batch[s + 1] / 32768;
      }
      i += take;
      this.offset += take;
      if (this.offset === frames) {
        this.queue.shift();
        this.offset = 0;
      }
    }
    for (let k = i; k < n; ++k) left[k] = right[k] = 0;
    this.played += i;
    // currentFrame is the first frame of this quantum; the report says how
    // much had been played when the quantum ends.
    const dry = i < n;
    if (++this.quanta % 4 === 0 || dry !== this.dry) {
      this.port.postMessage({ epoch: this.epoch, played: this.played, frame: currentFrame + n, dry });
    }
    this.dry = dry;
    return true;
  }
}

registerProcessor('plivak-player', PlivakPlayer);
