"""A small client of the language server for the tests: frames, requests, notifications."""

import json
import os
import select
import subprocess
import time


class Server:
    def __init__(self, path):
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.pending = b""
        self.next_id = 1
        self.notifications = []

    def send_raw(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()

    def send(self, message):
        body = json.dumps(message).encode()
        self.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def notify(self, method, params=None):
        self.send({"jsonrpc": "2.0", "method": method, "params": params or {}})

    def _fill(self, deadline):
        left = deadline - time.monotonic()
        ready, _, _ = select.select([self.proc.stdout], [], [], max(left, 0))
        if not ready:
            raise TimeoutError("no message from the server")
        data = os.read(self.proc.stdout.fileno(), 1 << 20)
        if not data:
            raise EOFError("the server closed its output")
        self.pending += data

    def receive(self, timeout=30):
        """The next message the server sends."""
        deadline = time.monotonic() + timeout
        while b"\r\n\r\n" not in self.pending:
            self._fill(deadline)
        header, _, rest = self.pending.partition(b"\r\n\r\n")
        fields = dict(line.split(b": ", 1) for line in header.split(b"\r\n"))
        length = int(fields[b"Content-Length"])
        while len(rest) < length:
            self._fill(deadline)
            header, _, rest = self.pending.partition(b"\r\n\r\n")
        self.pending = rest[length:]
        return json.loads(rest[:length])

    def reply(self, message_id, timeout=30):
        """The response to request `message_id`; notifications on the way are kept."""
        while True:
            message = self.receive(timeout)
            if message.get("id") == message_id and "method" not in message:
                return message
            self.notifications.append(message)

    def request(self, method, params=None, timeout=30):
        message_id = self.next_id
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": message_id, "method": method, "params": params or {}})
        return self.reply(message_id, timeout)

    def diagnostics(self, uri, timeout=30):
        """The next diagnostics published for `uri`."""
        for i, message in enumerate(self.notifications):
            if message.get("method") == "textDocument/publishDiagnostics" and \
                    message["params"]["uri"] == uri:
                del self.notifications[i]
                return message["params"]["diagnostics"]
        while True:
            message = self.receive(timeout)
            if message.get("method") == "textDocument/publishDiagnostics" and \
                    message["params"]["uri"] == uri:
                return message["params"]["diagnostics"]
            self.notifications.append(message)

    def finish(self, timeout=30):
        """Closes the server's input; its exit status."""
        try:
            self.proc.stdin.close()
        except BrokenPipeError:
            pass
        return self.proc.wait(timeout)
