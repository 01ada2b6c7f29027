#!/usr/bin/env python3
"""The one table of bench/run: every figure of the run beside the floors
measured in the same run. Reads RESULTS_DIR/*.json (Google Benchmark),
capture_timing.txt (plivak-capture --timing), capture_video.txt (60 s of
demo per video setting) and, when present, window.txt
and pace_probe.txt. Frame figures are compared with the full-frame copy and
the full-frame half-blend pass of bench_floor, start-up with zlib reading
the data files into fresh memory plus the plainest build of the six maps."""

import json
import os
import re
import sys

STEPS = [
    "opening blinds", "warped ribbons", "banner cube", "dot cube", "portrait parade", "atom", "text plane",
    "blob layers", "greetings", "studio", "spinning curve", "wandering maps", "spline snake", "final scene",
    "gadget parade", "wave logo", "centre smear", "final 3d",
]
RAYTRACED = {6, 14}
FINAL_3D = 18

# Targets: frame mean and p99 in ms, 2D steps within this many half-blend
# passes, start-up in ms and within this many floors, memory in MiB, the
# window's CPU share of one core and the capture's speed over real time.
MEAN_MS, P99_MS, BLEND_RATIO = 0.3, 1.0, 10.0
STARTUP_MS, STARTUP_RATIO = 120.0, 2.0
RSS_MB, WINDOW_CPU, CAPTURE_SPEED = 64.0, 10.0, 20.0
# The default --video setting, with ffmpeg encoding beside the capture.
VIDEO_SPEED = 1.0


def load_benchmarks(folder):
    """name -> record, per program, iteration runs only."""
    found = {}
    for file in sorted(os.listdir(folder)):
        if not file.endswith(".json"):
            continue
        try:
            with open(os.path.join(folder, file)) as f:
                data = json.load(f)
        except (OSError, ValueError):
            continue
        program = file[:-5]
        for b in data.get("benchmarks", []):
            if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
                continue
            found[(program, b["name"])] = b
    return found


# Frame figures and floors are compared in CPU time when the capture
# printed it (time spent on other processes of the shared machine does not
# count), else in wall time; the table says which.
USE_CPU = False


def ms(record):
    """Time per iteration in ms, CPU or wall as USE_CPU says."""
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[record.get("time_unit", "ns")]
    return record["cpu_time" if USE_CPU else "real_time"] * scale


def read_keys(path):
    values = {}
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                for key, value in re.findall(r"(\w+)=([-0-9.]+)", line):
                    values.setdefault(key, value)
    return values


def main():
    global USE_CPU
    folder = sys.argv[1]
    bench = load_benchmarks(folder)
    timing = {}
    timing_path = os.path.join(folder, "capture_timing.txt")
    if os.path.exists(timing_path):
        with open(timing_path) as f:
            for line in f:
                m = re.match(r"step=(\d+) frames=(\d+) mean_ms=([0-9.]+) p99_ms=([0-9.]+) max_ms=([0-9.]+)"
                             r"(?: cpu_mean_ms=([0-9.]+) cpu_p99_ms=([0-9.]+))?", line)
                if m:
                    timing[int(m.group(1))] = tuple(float(g) if g else None for g in m.groups()[1:])
    USE_CPU = bool(timing) and all(v[4] is not None for v in timing.values())

    def floor(name):
        record = bench.get(("bench_floor", name)) or next(
            (r for (p, n), r in bench.items() if n.startswith(name)), None)
        return ms(record) if record else None

    copy_ms = floor("Floor_FrameCopy")
    blend_ms = floor("Floor_FrameHalfBlend")
    inflate_ms = floor("Floor_InflateData/")
    warm_ms = floor("Floor_InflateDataWarm")
    maps_ms = floor("Floor_MapBuilds")
    failures = []
    rows = []

    def row(group, name, value_ms, extra="", check=None, frame=True):
        xc = f"{value_ms / copy_ms:7.1f}" if copy_ms and frame else "      -"
        xb = f"{value_ms / blend_ms:7.1f}" if blend_ms and frame else "      -"
        mark = ""
        if check is not None:
            ok, what = check
            mark = "ok" if ok else "MISS " + what
            if not ok:
                failures.append(f"{group} {name}: {what}")
        rows.append(f"{group:<8} {name:<38} {value_ms:9.4f} {xc} {xb}  {extra:<22} {mark}")

    print()
    print("=" * 110)
    print("SUMMARY  (times in ms, " + ("CPU time of the drawing thread" if USE_CPU else "wall time")
          + "; x copy / x blend: multiples of the same-run full-frame floors)")
    print(f"floors: full-frame copy {copy_ms * 1000 if copy_ms else float('nan'):.2f} us, "
          f"full-frame half-blend {blend_ms * 1000 if blend_ms else float('nan'):.2f} us, "
          f"inflate of the data {inflate_ms or float('nan'):.1f} ms fresh / {warm_ms or float('nan'):.1f} ms warm, "
          f"plain map builds {maps_ms or float('nan'):.1f} ms")
    print("=" * 110)
    print(f"{'group':<8} {'figure':<38} {'ms':>9} {'x copy':>7} {'x blend':>7}  {'':<22} target")

    keys = read_keys(timing_path)
    for step in sorted(timing):
        frames, wall_mean, wall_p99, worst, cpu_mean, cpu_p99 = timing[step]
        mean, p99 = (cpu_mean, cpu_p99) if USE_CPU else (wall_mean, wall_p99)
        label = f"{step:2d} {STEPS[step - 1] if 0 < step <= len(STEPS) else '?'}"
        ok = mean <= MEAN_MS and p99 <= P99_MS
        what = []
        if mean > MEAN_MS:
            what.append(f"mean>{MEAN_MS}")
        if p99 > P99_MS:
            what.append(f"p99>{P99_MS}")
        if step not in RAYTRACED and step != FINAL_3D and blend_ms and mean > BLEND_RATIO * blend_ms:
            ok = False
            what.append(f">{BLEND_RATIO:g}x blend")
        row("step", label + " mean", mean, f"{int(frames)} fr, wall {wall_mean:.4f}", (ok, " ".join(what)))
        row("step", label + " p99", p99, f"wall {wall_p99:.3f} max {worst:.2f}")

    for (program, name), record in sorted(bench.items()):
        if program == "bench_floor":
            continue
        group = {"bench_gfx2d": "kit", "bench_raytracer": "ray", "bench_engine3d": "3d",
                 "bench_data": "load", "bench_platform": "music"}.get(program, program)
        if program == "bench_engine3d" and "mean_ms" in record:
            row(group, name + " mean", float(record["mean_ms"]), f"worst {float(record['worst_ms']):.3f}",
                (float(record["mean_ms"]) <= MEAN_MS, f"mean>{MEAN_MS}"))
            continue
        value = ms(record)
        extra = ""
        if program == "bench_data" and inflate_ms:
            extra = f"{value / inflate_ms:.2f} x inflate"
        row(group, name, value, extra, frame=program != "bench_data" and program != "bench_platform")

    startup = float(keys["startup_ms"]) if "startup_ms" in keys else None
    if startup is not None:
        floor_ms = (inflate_ms or 0) + (maps_ms or 0)
        ratio = startup / floor_ms if floor_ms else float("nan")
        ok = startup <= STARTUP_MS and ratio <= STARTUP_RATIO
        row("start", "startup_ms", startup, f"{ratio:.2f} x floor {floor_ms:.1f}",
            (ok, f"<= {STARTUP_MS:g} ms and <= {STARTUP_RATIO:g} x floor"), frame=False)
        if "startup_cpu_ms" in keys:
            row("start", "startup_cpu_ms (from exec)", float(keys["startup_cpu_ms"]), frame=False)
    if "peak_rss_mb" in keys:
        rss = float(keys["peak_rss_mb"])
        rows.append(f"{'memory':<8} {'peak_rss_mb':<38} {rss:9.1f}  MiB{'':<36} "
                    + ("ok" if rss <= RSS_MB else f"MISS > {RSS_MB:g}"))
        if rss > RSS_MB:
            failures.append(f"memory {rss} MiB")
    if "show_s" in keys and "wall_s" in keys:
        speed = float(keys["show_s"]) / max(float(keys["wall_s"]), 1e-9)
        rows.append(f"{'capture':<8} {'show seconds / wall seconds':<38} {speed:9.1f}  x real time "
                    f"({keys['show_s']} s in {keys['wall_s']} s){'':<4} "
                    + ("ok" if speed >= CAPTURE_SPEED else f"MISS < {CAPTURE_SPEED:g}x"))
        if speed < CAPTURE_SPEED:
            failures.append(f"capture {speed:.1f}x real time")
    video_path = os.path.join(folder, "capture_video.txt")
    if os.path.exists(video_path):
        with open(video_path) as f:
            settings = [dict(re.findall(r"(\w+)=([-0-9.a-z]+)", line)) for line in f]
        for v in settings:
            if "wall_s" not in v:
                continue
            wall = max(float(v["wall_s"]), 1e-9)
            speed = float(v["show_s"]) / wall
            cpu = (float(v.get("cpu_s", 0)) + float(v.get("sys_s", 0))) / float(v["show_s"])
            mark = ""
            if v["setting"] == "fast":
                mark = "ok" if speed >= VIDEO_SPEED else f"MISS < {VIDEO_SPEED:g}x"
                if speed < VIDEO_SPEED:
                    failures.append(f"video fast {speed:.2f}x real time")
            size = f"{int(v.get('bytes', 0)) / 1e6:.0f} MB" if v["setting"] != "plain" else ""
            rows.append(f"{'video':<8} {'60 s, ' + v['setting']:<38} {speed:9.2f}  x real time, "
                        f"{cpu:.2f} CPU s per demo s {size:>7} (load {v.get('load', '?')}) {mark}")
    window = read_keys(os.path.join(folder, "window.txt"))
    if "demo_cpu_percent" in window:
        cpu = float(window["demo_cpu_percent"])
        rows.append(f"{'window':<8} {'demo at 60 fps, CPU % of one core':<38} {cpu:9.2f}{'':<41} "
                    + ("ok" if cpu <= WINDOW_CPU else f"MISS > {WINDOW_CPU:g}%"))
        if cpu > WINDOW_CPU:
            failures.append(f"window {cpu}% CPU")
    probe = read_keys(os.path.join(folder, "pace_probe.txt"))
    if "cpu_percent" in probe:
        rows.append(f"{'window':<8} {'pace-probe (present path), CPU %':<38} {float(probe['cpu_percent']):9.2f}"
                    f"  fps {probe.get('fps', '?')}")

    print("\n".join(rows))
    print("-" * 110)
    print("targets missed: " + ("none" if not failures else "; ".join(failures)))


if __name__ == "__main__":
    main()
