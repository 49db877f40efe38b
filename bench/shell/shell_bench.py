#!/usr/bin/python3
"""The program's start-up, idle CPU and memory against a minimal Qt WebEngine window with two
views (bench/shell/minimal_window.cpp), measured in one run under one Xvfb display.

- start: spawn to the first paint of the first window (QORVELLA_STARTUP_MARK), program /
  baseline; target <= 1.5;
- CPU of the program's own process over 10 s while the busy indicator turns, in % of one core,
  with its labels hidden (idle) and shown (a category load held up by a slow site, started
  with a click through xdotool); target <= 3 %;
- resident memory (VmRSS) of the program's process once settled, program / baseline; target
  <= 1.3. The browser engine's helper processes are reported too, for information.

Every figure is the median of the runs (5 by default); the program and the baseline take turns.

Both load the two banner pages of the bundled sample site, which this script starts.

Usage: shell_bench [--runs N] [--cpu-seconds S]
"""
import argparse
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

PROGRAM = "@QORVELLA_PROGRAM@"
BASELINE = "@QORVELLA_BASELINE@"
SOURCE_DIR = "@QORVELLA_SOURCE_DIR@"
AD_SERVER = "@QORVELLA_AD_SERVER@"
TICKS = os.sysconf("SC_CLK_TCK")


def start_xvfb():
    display = 90
    while os.path.exists(f"/tmp/.X11-unix/X{display}") or os.path.exists(f"/tmp/.X{display}-lock"):
        display += 1
    xvfb = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if os.path.exists(f"/tmp/.X11-unix/X{display}"):
            break
        time.sleep(0.05)
    return xvfb, f":{display}"


def start_site(workdir, delay_ms=0):
    ready = os.path.join(workdir, "site-port")
    if os.path.exists(ready):
        os.remove(ready)
    site = subprocess.Popen(["/usr/bin/python3", os.path.join(SOURCE_DIR, "sample-site/server.py"),
                             "--ready-file", ready, "--delay-ms", str(delay_ms)],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if os.path.exists(ready) and os.path.getsize(ready) > 0:
            return site
        time.sleep(0.05)
    site.kill()
    return None


def launch(command, env, mark):
    if os.path.exists(mark):
        os.remove(mark)
    started = time.time_ns()
    process = subprocess.Popen(command, env=dict(env, QORVELLA_STARTUP_MARK=mark),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        if os.path.exists(mark) and os.path.getsize(mark) > 0:
            with open(mark) as f:
                return process, (int(f.read()) - started) / 1e6
        if process.poll() is not None:
            raise RuntimeError(f"{command[0]} ended with {process.returncode} before its window")
        time.sleep(0.005)
    process.kill()
    raise RuntimeError(f"{command[0]} showed no window within 60 s")


def stop(process):
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(timeout=30)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def stop_site(site):
    if site is not None:
        site.terminate()
        site.wait()


def cpu_percent(pid, seconds):
    before, clock = cpu_ticks(pid), time.monotonic()
    time.sleep(seconds)
    return 100.0 * (cpu_ticks(pid) - before) / TICKS / (time.monotonic() - clock)


def click_category(env):
    """Clicks BD高清 in MainWindow, which shows the busy labels while the load runs."""
    found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "Qorvella"],
                           env=env, capture_output=True, text=True, timeout=30)
    window = found.stdout.split()[0]
    subprocess.run(["xdotool", "mousemove", "--window", window, "140", "240", "click", "1"],
                   env=env, check=True, timeout=30)


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def children(pid):
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                parent = int(f.read().rsplit(")", 1)[1].split()[1])
        except OSError:
            continue
        if parent == pid:
            found.append(int(entry))
            found.extend(children(int(entry)))
    return found


def tree_rss_kib(pid):
    total = 0
    for member in [pid] + children(pid):
        try:
            total += rss_kib(member)
        except OSError:
            pass
    return total


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--cpu-seconds", type=float, default=10.0)
    parser.add_argument("--settle-seconds", type=float, default=3.0)
    args, _ = parser.parse_known_args()  # bench/run.sh passes every program the same options

    with tempfile.TemporaryDirectory(prefix="qorvella-bench-") as workdir:
        xvfb, display = start_xvfb()
        site = start_site(workdir)
        if site is None:
            print("the sample site did not start (port taken?); the views load error pages", file=sys.stderr)
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", XDG_DATA_HOME=workdir)
        env.pop("QORVELLA_MESSAGE_BOX_AUTOCLOSE_MS", None)
        program = [PROGRAM]
        baseline = [BASELINE, AD_SERVER + "/ads/mtpx.htm", AD_SERVER + "/ads/zanzhu.htm"]
        mark = os.path.join(workdir, "mark")
        try:
            runs = {"program": [], "baseline": []}
            for _ in range(args.runs):  # alternating, so that drift hits both alike
                for name, command in (("baseline", baseline), ("program", program)):
                    process, ms = launch(command, env, mark)
                    time.sleep(args.settle_seconds)
                    runs[name].append({
                        "start": ms,
                        "cpu": cpu_percent(process.pid, args.cpu_seconds),
                        "rss": rss_kib(process.pid),
                        "tree": tree_rss_kib(process.pid),
                    })
                    stop(process)

            # A load that waits on a slow site keeps the busy labels shown.
            stop_site(site)
            site = start_site(workdir, delay_ms=60000)
            shown = []
            for _ in range(args.runs):
                process, _ = launch(program, env, mark)
                time.sleep(args.settle_seconds)
                click_category(env)
                time.sleep(1)
                shown.append(cpu_percent(process.pid, args.cpu_seconds))
                stop(process)
        finally:
            stop_site(site)
            xvfb.terminate()
            xvfb.wait()

    def median(name, figure):
        return statistics.median(run[figure] for run in runs[name])

    p = {figure: median("program", figure) for figure in ("start", "cpu", "rss", "tree")}
    b = {figure: median("baseline", figure) for figure in ("start", "cpu", "rss", "tree")}
    p["cpu shown"] = statistics.median(shown)
    print(f"medians of {args.runs} runs under Xvfb, both composing their views in software")
    print(f"start to first window: program {p['start']:.0f} ms, baseline {b['start']:.0f} ms")
    print(f"CPU over {args.cpu_seconds:.0f} s, own process: program {p['cpu']:.2f} % of a core "
          f"(indicator turning, labels hidden), {p['cpu shown']:.2f} % (labels shown during a load), "
          f"baseline {b['cpu']:.2f} %")
    print(f"resident memory, own process: program {p['rss'] / 1024:.1f} MiB, "
          f"baseline {b['rss'] / 1024:.1f} MiB")
    print(f"resident memory with the engine's helper processes: program {p['tree'] / 1024:.1f} MiB, "
          f"baseline {b['tree'] / 1024:.1f} MiB")
    print()
    rows = [
        ("start, program / baseline", p["start"] / b["start"], "<= 1.5"),
        ("CPU while the indicator turns, labels hidden, % of a core", p["cpu"], "<= 3"),
        ("CPU while the indicator turns, labels shown, % of a core", p["cpu shown"], "<= 3"),
        ("resident memory, program / baseline", p["rss"] / b["rss"], "<= 1.3"),
    ]
    width = max(len(r[0]) for r in rows)
    for name, value, target in rows:
        print(f"{name:<{width}}  {value:6.2f}  (target {target})")


if __name__ == "__main__":
    main()
