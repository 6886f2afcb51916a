#!/usr/bin/python3
"""Load test of `kestrova serve` with wrk: pages per second and latency for the sample project and
for a 1,000-page tree over a 50,000-item selector, one server process and two.

    bench/serve_load.py --kestrova build/dev/cli/kestrova [--seconds 10] [--connections 4] [--replays 5]

Run it by hand on an idle machine; it is not a test. The results are written up in
docs/PERFORMANCE.md.
"""

import argparse
import http.client
import html
import os
import random
import re
import shutil
import socket
import subprocess
import tempfile
import time

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")
BOUNDARY = "kestrovabench"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def large_tree(folder, pages=1000, items=50000):
    """A web tree file: each page a choice whose Yes removes one group of items, then a done page.

    Written directly, as the compiler would write it: validating a project checks each !KILL's
    properties against the stored table, which costs one reading of the 50,000 rows per line.
    """
    rng = random.Random(7)
    lines = ["<?xml version='1.0' encoding='UTF-8'?>", "<TreeFile>", "<EarlyFinish>Off</EarlyFinish>",
             "<WizardTitle>Large</WizardTitle>", "<Decisions>"]
    for i in range(1, pages + 2):
        last = i == pages + 1
        lines += ["\t<Decision>", f"\t\t<Number>{i}</Number>", f"\t\t<Name>{'Done' if last else f'Q{i}'}</Name>",
                  f"\t\t<Type>{'Done' if last else 'Radio'}</Type>", "\t\t<LeftImg></LeftImg>", "\t\t<Help></Help>",
                  f"\t\t<ControlCaption>Question {i}</ControlCaption>", f"\t\t<PageHeader>Question {i} of {pages}</PageHeader>",
                  f"\t\t<DisplayedControls>{i}</DisplayedControls>"]
        if not last:
            lines += ["\t\t<Option>Yes", f'\t\t\t<Action>!KILL Items:(&quot;Items&quot;:&quot;Group&quot;(num)={i});</Action>',
                      f"\t\t\t<Action>!GO [[{i + 1}]];</Action>", "\t\t</Option>",
                      "\t\t<Option>No", f"\t\t\t<Action>!GO [[{i + 1}]];</Action>", "\t\t</Option>"]
        lines.append("\t</Decision>")
    lines += ["</Decisions>", "<CriteriaLists>", "\t<CriteriaList Name='Items'>"]
    for n in range(items):
        lines += [f"\t\t<CriteriaItem Name='Item {n}'>", f"\t\t<Category Name='Name'>Item {n}</Category>",
                  f"\t\t<Category Name='Group'>{rng.randint(1, 2 * pages)}</Category>",
                  f"\t\t<Category Name='Value'>{rng.randint(1, 1000)}</Category>", "\t\t</CriteriaItem>"]
    lines += ["\t</CriteriaList>", "</CriteriaLists>", "</TreeFile>"]
    path = os.path.join(folder, "large.kvw")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    return path


def build(kestrova, folder):
    sample = os.path.join(folder, "laptop-selector.kvp")
    subprocess.run([kestrova, "from-rules", os.path.join(EXAMPLES, "laptop-selector.rules"), "-o", sample],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run([kestrova, "selector", "import", sample, os.path.join(EXAMPLES, "laptops.csv")], check=True,
                   stdout=subprocess.DEVNULL)
    return sample, large_tree(folder)


CPU_CGROUPS = "/sys/fs/cgroup/cpu"


def can_share_cpu():
    """Whether processes can be held to a share of a core (cgroup v1 cpu quota, as root)."""
    probe = os.path.join(CPU_CGROUPS, f"kestrova-bench-probe-{os.getpid()}")
    try:
        os.mkdir(probe)
        os.rmdir(probe)
        return True
    except OSError:
        return False


class Server:
    def __init__(self, kestrova, trees, folder, cpus=None, share=None):
        self.port = free_port()
        self.cgroup = None
        command = [kestrova, "serve", *trees, "--listen", f"127.0.0.1:{self.port}", "--secret-file",
                   os.path.join(folder, "secret"), "--results", "sqlite:" + os.path.join(folder, "results.sqlite")]
        if cpus:
            command = ["taskset", "-c", cpus] + command
        self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if share:
            # Held to a share of one core, as a copy on a machine of its own would be, while the
            # load generator keeps the rest of this machine.
            self.cgroup = os.path.join(CPU_CGROUPS, f"kestrova-bench-{self.process.pid}")
            os.mkdir(self.cgroup)
            with open(os.path.join(self.cgroup, "cpu.cfs_period_us"), "w") as f:
                f.write("100000")
            with open(os.path.join(self.cgroup, "cpu.cfs_quota_us"), "w") as f:
                f.write(str(int(100000 * share)))
            with open(os.path.join(self.cgroup, "cgroup.procs"), "w") as f:
                f.write(str(self.process.pid))
        for _ in range(600):
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=0.5).close()
                return
            except OSError:
                time.sleep(0.1)
        raise RuntimeError("the server did not start")

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=30)
        if self.cgroup:
            os.rmdir(self.cgroup)


def request(port, method, path, fields=None):
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=120)
    body, headers = None, {}
    if fields is not None:
        body = multipart(fields)
        headers["Content-Type"] = f"multipart/form-data; boundary={BOUNDARY}"
    started = time.perf_counter()
    conn.request(method, path, body, headers)
    response = conn.getresponse()
    text = response.read().decode()
    elapsed = (time.perf_counter() - started) * 1000
    conn.close()
    return response.status, text, elapsed


def multipart(fields):
    parts = [f'--{BOUNDARY}\r\nContent-Disposition: form-data; name="{name}"\r\n\r\n{value}\r\n' for name, value in fields]
    return ("".join(parts) + f"--{BOUNDARY}--\r\n").encode()


def token_of(page):
    return html.unescape(re.search(r'name="token" value="([^"]*)"', page).group(1))


def wrk(urls, seconds, connections, lua=None, cpus=None):
    """Runs one wrk per address at once; the summed pages per second and the worst p50 and p99."""
    processes = []
    for url in urls:
        command = ["wrk", "-t1", f"-c{connections}", f"-d{seconds}s", "--latency"] + (["-s", lua] if lua else []) + [url]
        if cpus:
            command = ["taskset", "-c", cpus] + command
        processes.append(subprocess.Popen(command, stdout=subprocess.PIPE, text=True))
    rate, p50, p99, errors = 0.0, 0.0, 0.0, 0
    for process in processes:
        out = process.communicate()[0]
        rate += float(re.search(r"Requests/sec:\s+([0-9.]+)", out).group(1))
        p50 = max(p50, latency(out, "50%"))
        p99 = max(p99, latency(out, "99%"))
        m = re.search(r"Non-2xx or 3xx responses: (\d+)", out)
        errors += int(m.group(1)) if m else 0
    return rate, p50, p99, errors


def latency(out, which):
    value, unit = re.search(rf"{which}\s+([0-9.]+)(us|ms|s)", out).groups()
    return float(value) * {"us": 0.001, "ms": 1.0, "s": 1000.0}[unit]


def cpu_ns(pid):
    """The CPU time all of a process's threads have run so far, in nanoseconds (Linux)."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except OSError:
            pass  # a thread that ended meanwhile
    return total


def post_script(folder, token, answers):
    """A wrk script that posts one page's answers with the token of the page before."""
    body = multipart([("token", token), ("go", "next")] + answers).decode()
    path = os.path.join(folder, "post.lua")
    with open(path, "w") as f:
        f.write('wrk.method = "POST"\n')
        f.write(f'wrk.headers["Content-Type"] = "multipart/form-data; boundary={BOUNDARY}"\n')
        f.write("wrk.body = " + lua_string(body) + "\n")
    return path


def lua_string(text):
    return '"' + "".join(c if c.isalnum() or c in " .,-_=/:;" else f"\\{ord(c)}" for c in text) + '"'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--kestrova", required=True)
    parser.add_argument("--seconds", type=int, default=10)
    parser.add_argument("--connections", type=int, default=4)
    parser.add_argument("--replays", type=int, default=5, help="new processes that each replay the large run once")
    parser.add_argument("--scaling-only", action="store_true", help="only one process against two")
    args = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="kestrova-load-")
    with open(os.path.join(folder, "secret"), "w") as f:
        f.write("the bench's shared secret, long enough\n")
    sample, large = build(args.kestrova, folder)
    rows = []

    def row(what, measured):
        rate, p50, p99, errors = measured
        rows.append((what, rate, p50, p99, errors))
        print(f"{what:58s} {rate:9.0f} pages/s  p50 {p50:7.2f} ms  p99 {p99:7.2f} ms  errors {errors}", flush=True)

    if args.scaling_only:
        scaling(args, sample, folder, row)
        shutil.rmtree(folder, ignore_errors=True)
        return

    one = Server(args.kestrova, [sample, large], folder)
    try:
        row("sample: a new run's first page, one process", wrk([f"http://127.0.0.1:{one.port}/laptop-selector/"], args.seconds, args.connections))
        _, first, _ = request(one.port, "GET", "/laptop-selector/")
        lua = post_script(folder, token_of(first), [])
        row("sample: Next from a token (replayed), one process", wrk([f"http://127.0.0.1:{one.port}/laptop-selector/"], args.seconds, args.connections, lua))

        # The large tree, page by page: each step finds its run in the process's cache.
        status, page, _ = request(one.port, "GET", "/large/")
        times = []
        last_token = ""
        for i in range(1, 1001):
            last_token = token_of(page)
            status, page, ms = request(one.port, "POST", "/large/", [("token", last_token), ("go", "next"), (f"c{i}", "Yes")])
            assert status == 200, page
            times.append(ms)
        times.sort()
        print(f"large: 1,000 pages answered one by one: p50 {times[500]:.2f} ms, p99 {times[990]:.2f} ms, "
              f"slowest {times[-1]:.2f} ms", flush=True)
        rows.append(("large: each page of a run, from the cache", 0, times[500], times[990], 0))
    finally:
        one.stop()

    # The last page from a process that never saw the run: the whole run is replayed. Each time
    # in a new process; the CPU time it spent beside the wall-clock time, which on a shared
    # machine also holds the time spent waiting for a core.
    replays = []
    for _ in range(args.replays):
        other = Server(args.kestrova, [sample, large], folder)
        try:
            cpu = cpu_ns(other.process.pid)
            status, page, ms = request(other.port, "POST", "/large/", [("token", last_token), ("go", "next"), ("c1000", "Yes")])
            cpu = (cpu_ns(other.process.pid) - cpu) / 1e6
            assert status == 200, page
            replays.append((ms, cpu))
        finally:
            other.stop()
    walls = sorted(ms for ms, _ in replays)
    cpus = sorted(cpu for _, cpu in replays)
    print(f"large: the last page in a process without the run (999 pages replayed), {len(replays)} processes: "
          f"wall {walls[0]:.1f} / {walls[len(walls) // 2]:.1f} / {walls[-1]:.1f} ms, "
          f"CPU {cpus[0]:.1f} / {cpus[len(cpus) // 2]:.1f} / {cpus[-1]:.1f} ms (least / median / most)", flush=True)
    rows.append(("large: the last page, replayed in another process", 0, walls[len(walls) // 2], walls[-1], 0))

    scaling(args, sample, folder, row)
    shutil.rmtree(folder, ignore_errors=True)


def scaling(args, sample, folder, row):
    """One process against two, as two machines would be."""
    # Pinned to a core each: on a two-core machine the load generator then shares the servers'
    # cores in the second case only, so this understates what a second copy adds.
    one_against_two(args, row, "one core each", lambda cpu: Server(args.kestrova, [sample], folder, cpus=cpu),
                    "one process on one core")
    if not can_share_cpu():
        print("(no cpu cgroup to hold a process to half a core: run as root for the fair comparison)", flush=True)
        return
    # Each process held to half a core, so that the load generator has a core of its own in both
    # cases and the two processes share only what copies share: the results store.
    one_against_two(args, row, "half a core each", lambda _: Server(args.kestrova, [sample], folder, share=0.5),
                    "one process held to half a core")


def one_against_two(args, row, each, start, single_label):
    """The sample's first pages from one server, then from two; start(cpu) makes a server."""
    for cpus, label in ((["0"], single_label), (["0", "1"], f"two processes, {each}")):
        servers = [start(cpu) for cpu in cpus]
        try:
            row(f"sample: first pages, {label}",
                wrk([f"http://127.0.0.1:{s.port}/laptop-selector/" for s in servers], args.seconds, args.connections))
        finally:
            for s in servers:
                s.stop()


if __name__ == "__main__":
    main()
