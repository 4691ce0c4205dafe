#!/usr/bin/python3
"""A loopback FTP server for the Windows tests.

Serves one folder to one user on 127.0.0.1, on a free port unless one is
given, and prints the port it bound as the first line of its output. Every
command received is written to the log file (passwords masked), so a test can
see how the client talked. Exits on SIGTERM, and when its standard input
reaches its end: a parent that holds the input open and dies takes the
server with it.
"""
import argparse
import logging
import os
import signal
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def command_logging_handler(log_path):
    """An FTP handler class that writes every received command to log_path."""
    log_file = open(log_path, "a", encoding="utf-8", buffering=1)

    class CommandLoggingHandler(FTPHandler):
        # A wrong password answers at once instead of after a pause.
        auth_failed_timeout = 0
        # Names are kept as the bytes the client sent, as a plain Unix server
        # keeps them; bytes that are not UTF-8 show in the log as \xNN.
        unicode_errors = "surrogateescape"

        def pre_process_command(self, line, cmd, arg):
            raw = line.encode("utf8", "surrogateescape")
            shown = "PASS ******" if cmd == "PASS" else raw.decode("utf8", "backslashreplace")
            log_file.write("<- %s\n" % shown)
            return super().pre_process_command(line, cmd, arg)

        def push(self, s):
            # Replies that quote such a name give back the client's bytes.
            super(FTPHandler, self).push(s.encode("utf8", "surrogateescape"))

    return CommandLoggingHandler


def exit_when_input_ends():
    for _ in sys.stdin:
        pass
    os.kill(os.getpid(), signal.SIGTERM)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, help="folder to serve")
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--log", required=True, help="file to append the commands to")
    parser.add_argument("--port", type=int, default=0, help="0 picks a free port")
    args = parser.parse_args()

    logging.basicConfig(filename=args.log, level=logging.INFO, encoding="utf-8",
                        errors="backslashreplace", format="%(asctime)s %(message)s")
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, os.path.abspath(args.root),
                        perm="elradfmwMT")
    handler = command_logging_handler(args.log)
    handler.authorizer = authorizer

    server = FTPServer(("127.0.0.1", args.port), handler)
    print(server.address[1], flush=True)

    def stop(signum, frame):
        raise SystemExit(0)

    signal.signal(signal.SIGTERM, stop)
    threading.Thread(target=exit_when_input_ends, daemon=True).start()
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
