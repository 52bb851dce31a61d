"""Just enough of the DevTools protocol to evaluate a script in the player's
page: the web engine opens it with QTWEBENGINE_REMOTE_DEBUGGING=host:port.
Standard library only (a minimal WebSocket client: text frames, no
fragmentation, which is all the protocol's replies use here)."""

import base64
import json
import os
import socket
import struct
import time
import urllib.request


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Page:
    """The first page target of the engine listening on port."""

    def __init__(self, port, timeout=30):
        deadline = time.monotonic() + timeout
        while True:
            try:
                with urllib.request.urlopen("http://127.0.0.1:%d/json" % port, timeout=2) as reply:
                    targets = [t for t in json.load(reply) if t.get("type") == "page"]
                if targets and "webSocketDebuggerUrl" in targets[0]:
                    break
            except OSError:
                pass
            if time.monotonic() > deadline:
                raise TimeoutError("no page to debug on port %d" % port)
            time.sleep(0.2)
        path = targets[0]["webSocketDebuggerUrl"].split(str(port), 1)[1]
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nUpgrade: websocket\r\n"
                           "Connection: Upgrade\r\nSec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n"
                           % (path, port, key)).encode())
        response = b""
        while b"\r\n\r\n" not in response:
            response += self.sock.recv(1)
        if b" 101 " not in response.split(b"\r\n", 1)[0]:
            raise ConnectionError(response.decode(errors="replace"))
        self.next_id = 0

    def _send(self, text):
        payload = text.encode()
        mask = os.urandom(4)
        header = bytes([0x81])
        if len(payload) < 126:
            header += bytes([0x80 | len(payload)])
        elif len(payload) < 65536:
            header += bytes([0x80 | 126]) + struct.pack(">H", len(payload))
        else:
            header += bytes([0x80 | 127]) + struct.pack(">Q", len(payload))
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        self.sock.sendall(header + mask + masked)

    def _read_exactly(self, count):
        data = b""
        while len(data) < count:
            chunk = self.sock.recv(count - len(data))
            if not chunk:
                raise ConnectionError("the page went away")
            data += chunk
        return data

    def _receive(self):
        first, second = self._read_exactly(2)
        length = second & 0x7F
        if length == 126:
            length = struct.unpack(">H", self._read_exactly(2))[0]
        elif length == 127:
            length = struct.unpack(">Q", self._read_exactly(8))[0]
        return self._read_exactly(length).decode(errors="replace")

    def evaluate(self, expression):
        """The value of a script in the page (JSON-able), or None."""
        self.next_id += 1
        self._send(json.dumps({"id": self.next_id, "method": "Runtime.evaluate",
                               "params": {"expression": expression, "returnByValue": True}}))
        while True:
            message = json.loads(self._receive())
            if message.get("id") == self.next_id:
                return message.get("result", {}).get("result", {}).get("value")

    def close(self):
        self.sock.close()
