#!/usr/bin/env python3
"""Starts and stops the download tests' servers on loopback ports chosen at start:
nginx from Debian (a generated configuration, serving fixture files by length and one
page with chunked coding, over plain HTTP and over HTTPS with the test certificates) and
our scripted server.

Usage: net_servers.py start DIR | stop DIR
DIR gets www/ (the fixtures), tls/ (the test certificates; tls/ca.pem is the one root to
trust), the nginx configuration and logs, and ports.txt with the lines "nginx PORT",
"https PORT" (a good certificate for localhost), "https_wrong_name PORT",
"https_expired PORT", "https_self_signed PORT", "https_unknown_authority PORT" (a chain
that leads to a root nobody trusts), "scripted PORT", "blackhole PORT" and
"tls_stall PORT". start stops what an earlier start in DIR left running, so it may be
run again at any time.
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
    location = /to-https {{ return 302 https://localhost:{https}/small.txt; }}
  }}
  server {{
    listen 127.0.0.1:{https} ssl;
    ssl_certificate {dir}/tls/localhost-chain.pem;
    ssl_certificate_key {dir}/tls/server.key;
    root {dir}/www;
    location /chunked/ {{ ssi on; }}
    location = /to-plain {{ return 302 http://localhost:{port}/small.txt; }}
    location = /to-https-self {{ return 301 /small.txt; }}
  }}
{tls_servers}}}
"""

# Servers that must fail the handshake: (ports.txt name, certificate file).
BAD_TLS_SERVERS = [
    ("https_wrong_name", "elsewhere-chain.pem"),
    ("https_expired", "expired-chain.pem"),
    ("https_self_signed", "self-signed.pem"),
    ("https_unknown_authority", "stranger-chain.pem"),
]

TLS_SERVER = """  server {{
    listen 127.0.0.1:{port} ssl;
    ssl_certificate {dir}/tls/{certificate};
    ssl_certificate_key {dir}/tls/server.key;
    root {dir}/www;
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


def free_ports(count):
    """count distinct free ports (held open together while they are chosen)."""
    sockets = [socket.socket() for _ in range(count)]
    try:
        for s in sockets:
            s.bind(("127.0.0.1", 0))
        return [s.getsockname()[1] for s in sockets]
    finally:
        for s in sockets:
            s.close()


def start_nginx(directory):
    """Returns the ports.txt lines of nginx's servers."""
    os.makedirs(os.path.join(directory, "nginx-tmp"), exist_ok=True)
    subprocess.run([os.path.join(HERE, "make_test_certificates.sh"), os.path.join(directory, "tls")], check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    conf = os.path.join(directory, "nginx.conf")
    for _ in range(5):
        port, https, *bad = free_ports(2 + len(BAD_TLS_SERVERS))
        tls_servers = "".join(TLS_SERVER.format(dir=directory, port=p, certificate=c)
                              for p, (_, c) in zip(bad, BAD_TLS_SERVERS))
        with open(conf, "w") as f:
            f.write(NGINX_CONF.format(dir=directory, port=port, https=https, tls_servers=tls_servers))
        done = subprocess.run(["nginx", "-q", "-p", directory, "-e", os.path.join(directory, "nginx-error.log"),
                               "-c", conf], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        if done.returncode == 0:
            return "nginx %d\nhttps %d\n" % (port, https) + "".join(
                "%s %d\n" % (name, p) for p, (name, _) in zip(bad, BAD_TLS_SERVERS))
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
    nginx = start_nginx(directory)
    scripted = start_scripted(directory)
    with open(os.path.join(directory, "ports.txt.new"), "w") as f:
        f.write(nginx + scripted)
    os.replace(os.path.join(directory, "ports.txt.new"), os.path.join(directory, "ports.txt"))


if __name__ == "__main__":
    main()
