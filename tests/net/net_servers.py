#!/usr/bin/env python3
"""Starts and stops the download tests' servers on loopback ports chosen at start:
nginx from Debian (a generated configuration, serving fixture files by length and one
page with chunked coding) and our scripted server.

Usage: net_servers.py start DIR | stop DIR
DIR gets www/ (the fixtures), the nginx configuration and logs, and ports.txt with the
lines "nginx PORT", "scripted PORT" and "blackhole PORT". start stops what an earlier
start in DIR left running, so it may be run again at any time.
"""
import os
import random
import signal
import socket
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))

NGINX_CONF = """daemon on;
master_process off;
pid {dir}/nginx.pid;
error_log {dir}/nginx-error.log;
events {{ worker_connections 256; }}
http {{
  access_log off;
  client_body_temp_path {dir}/nginx-tmp/body;
  proxy_temp_path {dir}/nginx-tmp/proxy;
  fastcgi_temp_path {dir}/nginx-tmp/fastcgi;
  uwsgi_temp_path {dir}/nginx-tmp/uwsgi;
  scgi_temp_path {dir}/nginx-tmp/scgi;
  types {{ text/html html; text/plain txt; application/octet-stream bin; }}
  default_type application/octet-stream;
  sendfile on;
  server {{
    listen 127.0.0.1:{port};
    root {dir}/www;
    # Server-side includes drop the length, so this page goes out with chunked coding.
    location /chunked/ {{ ssi on; }}
  }}
}}
"""


def write_fixtures(www):
    os.makedirs(os.path.join(www, "chunked"), exist_ok=True)
    rng = random.Random(1957)
    fixtures = {
        "small.txt": b"ISS (ZARYA)\r\n1 25544U 98067A   26345.5 .0001 00000-0 10000-3 0  9990\r\n",
        "empty.txt": b"",
        "big.bin": rng.randbytes(300 * 1024),
        "chunked/page.html": b"".join(b"<p>line %05d of the chunked page</p>\n" % i for i in range(2000)),
    }
    for name, data in fixtures.items():
        with open(os.path.join(www, name), "wb") as f:
            f.write(data)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def alive(pid):
    """Running, and not just a zombie waiting for whoever adopted it to reap it."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def kill_pidfile(path):
    try:
        with open(path) as f:
            pid = int(f.read().split()[0])
        os.kill(pid, signal.SIGTERM)
        for _ in range(50):
            if not alive(pid):
                break
            time.sleep(0.02)
    except (OSError, ValueError, IndexError):
        pass
    try:
        os.remove(path)
    except OSError:
        pass


def stop(directory):
    kill_pidfile(os.path.join(directory, "scripted.pid"))
    kill_pidfile(os.path.join(directory, "nginx.pid"))


def start_nginx(directory):
    os.makedirs(os.path.join(directory, "nginx-tmp"), exist_ok=True)
    conf = os.path.join(directory, "nginx.conf")
    for _ in range(5):
        port = free_port()
        with open(conf, "w") as f:
            f.write(NGINX_CONF.format(dir=directory, port=port))
        done = subprocess.run(["nginx", "-q", "-p", directory, "-e", os.path.join(directory, "nginx-error.log"),
                               "-c", conf], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        if done.returncode == 0:
            return port
    raise SystemExit("nginx could not be started; see " + os.path.join(directory, "nginx-error.log"))


def start_scripted(directory):
    portfile = os.path.join(directory, "scripted-ports.txt")
    if os.path.exists(portfile):
        os.remove(portfile)
    # No inherited output: whoever runs start (ctest) waits for its pipes to close.
    with open(os.path.join(directory, "scripted.log"), "w") as log:
        process = subprocess.Popen([sys.executable, os.path.join(HERE, "scripted_server.py"), portfile],
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
    with open(os.path.join(directory, "scripted.pid"), "w") as f:
        f.write("%d\n" % process.pid)
    for _ in range(200):
        if os.path.exists(portfile):
            with open(portfile) as f:
                return f.read()
        if process.poll() is not None:
            break
        time.sleep(0.05)
    raise SystemExit("the scripted server did not start")


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        raise SystemExit(__doc__)
    directory = os.path.abspath(sys.argv[2])
    os.makedirs(directory, exist_ok=True)
    stop(directory)
    if sys.argv[1] == "stop":
        return
    write_fixtures(os.path.join(directory, "www"))
    nginx_port = start_nginx(directory)
    scripted = start_scripted(directory)
    with open(os.path.join(directory, "ports.txt.new"), "w") as f:
        f.write("nginx %d\n%s" % (nginx_port, scripted))
    os.replace(os.path.join(directory, "ports.txt.new"), os.path.join(directory, "ports.txt"))


if __name__ == "__main__":
    main()
