#!/usr/bin/env python3
"""A local channel server for trying the installer end to end without the real servers.

It plays the configuration server, the CDN and the telemetry endpoint on one port:
  GET  /seminstall/<company>/<tryno>[_<scene>].xml  the channel document, signed at start-up
  HEAD, GET /pkg/<name>                   files of the package folder
  POST /c/                                telemetry: accepted with a "result=1" reply
Anything else (update information, redirect list, city services) answers 404, which the
installer treats as "nothing offered".

The document is signed as the installer expects: the text is cut into 117-byte pieces,
each piece gets PKCS #1 v1.5 block-type-1 padding and the RSA private operation
(openssl rsautl), the 128-byte blocks are joined and Base64-encoded.

Usage: local_channel.py --port N --key KEY.pem --document XML --packages DIR
                        --company C --tryno T [--log FILE]
"""
import argparse
import base64
import hashlib
import http.server
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

PIECE = 117


def sign_document(text: bytes, key: str) -> bytes:
    blocks = []
    with tempfile.TemporaryDirectory() as work:
        piece_path = os.path.join(work, "piece")
        for start in range(0, len(text), PIECE):
            with open(piece_path, "wb") as piece:
                piece.write(text[start:start + PIECE])
            blocks.append(subprocess.run(
                # rsautl, not pkeyutl: pkeyutl refuses raw input longer than a digest
                ["openssl", "rsautl", "-sign", "-inkey", key, "-in", piece_path],
                check=True, capture_output=True).stdout)
    return base64.b64encode(b"".join(blocks))


def telemetry_reply(text: bytes) -> bytes:
    # length (16 bits, the whole frame), kind 2, CRC-32 of the text, then the text
    return struct.pack("<HBI", 7 + len(text), 2, zlib.crc32(text)) + text


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--document", required=True)
    parser.add_argument("--packages", required=True)
    parser.add_argument("--company", type=int, required=True)
    parser.add_argument("--tryno", type=int, required=True)
    parser.add_argument("--log", default=None)
    args = parser.parse_args()

    host = "127.0.0.1:%d" % args.port
    with open(args.document, "rb") as document:
        text = document.read().decode("utf-8")
    text = text.replace("@HOST@", host)

    def digest(match):
        with open(os.path.join(args.packages, match.group(1)), "rb") as package:
            return hashlib.md5(package.read()).hexdigest().upper()
    text = re.sub(r"@MD5:([^@/\\]+)@", digest, text)
    signed = sign_document(text.encode("utf-8"), args.key)
    # "<tryno>.xml", or "<tryno>_<scene>.xml" for a run with a scene
    document_path = re.compile(r"/seminstall/%d/%d(_\d+)?\.xml" % (args.company, args.tryno))
    log = open(args.log, "a", buffering=1) if args.log else sys.stderr

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, format, *values):
            log.write("%s\n" % (format % values))

        def answer(self, status, body=b"", send_body=True):
            self.send_response(status)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            if send_body:
                self.wfile.write(body)
            self.close_connection = True

        def package(self):
            name = self.path.split("?", 1)[0][len("/pkg/"):]
            if not re.fullmatch(r"[A-Za-z0-9_.-]+", name):
                return None
            try:
                with open(os.path.join(args.packages, name), "rb") as package:
                    return package.read()
            except OSError:
                return None

        def do_HEAD(self):
            body = self.package() if self.path.startswith("/pkg/") else None
            self.answer(200 if body is not None else 404, body or b"", send_body=False)

        def do_GET(self):
            path = self.path.split("?", 1)[0]
            if document_path.fullmatch(path):
                self.answer(200, signed)
            elif path.startswith("/pkg/") and self.package() is not None:
                self.answer(200, self.package())
            else:
                self.answer(404)

        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0") or 0)
            body = self.rfile.read(length) if 0 < length <= 1 << 20 else b""
            if self.path.split("?", 1)[0] == "/c/":
                log.write("telemetry message of %d bytes\n" % len(body))
                self.answer(200, telemetry_reply(b"[common]\r\nresult=1\r\n"))
            else:
                self.answer(404)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    log.write("local channel %d/%d on %s\n" % (args.company, args.tryno, host))
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
