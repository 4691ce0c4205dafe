#!/usr/bin/python3
"""A loopback HTTP server for the Windows tests.

Serves the files of one folder on 127.0.0.1 (404 for anything missing), on a
free port unless one is given, and prints the port it bound as the first line
of its output. With --certificate it speaks HTTPS with that certificate.
Exits on SIGTERM, and when its standard input reaches its end.
"""
import argparse
import functools
import os
import signal
import ssl
import sys
import threading
from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer


class QuietHandler(SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        sys.stderr.write("%s\n" % (format % args))


def exit_when_input_ends():
    for _ in sys.stdin:
        pass
    os.kill(os.getpid(), signal.SIGTERM)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, help="folder to serve")
    parser.add_argument("--port", type=int, default=0, help="0 picks a free port")
    parser.add_argument("--certificate", help="PEM file with certificate and key: serve HTTPS")
    args = parser.parse_args()

    handler = functools.partial(QuietHandler, directory=os.path.abspath(args.root))
    server = ThreadingHTTPServer(("127.0.0.1", args.port), handler)
    server.daemon_threads = True
    if args.certificate:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.certificate)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)

    def stop(signum, frame):
        raise SystemExit(0)

    signal.signal(signal.SIGTERM, stop)
    threading.Thread(target=exit_when_input_ends, daemon=True).start()
    try:
        server.serve_forever()
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
