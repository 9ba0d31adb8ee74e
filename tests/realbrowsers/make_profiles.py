#!/usr/bin/env python3
"""Makes a Chromium and a Firefox profile by browsing a few local sites with the real
browsers, headless, then closing them as a user would (so that they write their session
stores): python3 make_profiles.py OUT. OUT/chromium is a user data folder, OUT/firefox a
profile folder. Every site is a name below .localhost served by this script: each page sets a
cookie of its site, names an icon, keeps a cache of its own and leads on to the next site; one
page holds a form that is sent. The first page is bookmarked before the browsers start."""
import base64, http.server, json, os, socket, socketserver, struct, subprocess, sys, threading
import time, urllib.request, zlib

SITES = [('site1', '/start'), ('site2', '/news'), ('site3', '/form'), ('site3', '/sent'),
         ('site4', '/shop'), ('site5', '/last')]


def png(seed):
    raw = b''.join(b'\x00' + bytes([seed % 256, 255 - seed % 256, 90]) * 16 for _ in range(16))
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 16, 16, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))


class Pages(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        site = self.headers.get('Host', '').split('.')[0]
        path = self.path.split('?')[0]
        if path.endswith('.png'):
            self.answer('image/png', png(sum(map(ord, site))))
            return
        following = ''
        for i, (s, p) in enumerate(SITES[:-1]):
            if (s, p) == (site, path) and path != '/form':
                following = 'http://%s.localhost:%d%s' % (SITES[i + 1][0], PORT, SITES[i + 1][1])
        form = ''
        if path == '/form':
            form = ('<form action="/sent"><input name="q" value="secret words of %s">'
                    '<input name="city" value="Kleinstadt"></form><script>setTimeout('
                    'function(){document.forms[0].submit();}, 700);</script>' % site)
        leave = ('<script>setTimeout(function(){location.href=%r;}, 900);</script>' % following
                 if following else '')
        page = ('<!doctype html><title>%s %s</title><link rel="icon" href="/icon-%s.png">'
                '<h1>%s.localhost%s</h1>%s%s<script>caches.open("c1").then(function(c){'
                'return c.put("/cached", new Response("kept offline"));});</script>'
                % (site, path, site, site, path, form, leave))
        self.answer('text/html; charset=utf-8', page.encode(),
                    'seen%s=%s; Max-Age=86400; Path=/' % (path.replace('/', '_'), site))

    def answer(self, kind, body, cookie=None):
        self.send_response(200)
        self.send_header('Content-Type', kind)
        self.send_header('Cache-Control', 'max-age=3600')
        if cookie:
            self.send_header('Set-Cookie', cookie)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def devtools(port, method, params=None):
    """One DevTools command on the browser's endpoint, over a bare websocket."""
    endpoint = json.load(urllib.request.urlopen('http://127.0.0.1:%d/json/version' % port))
    path = endpoint['webSocketDebuggerUrl'].split(str(port), 1)[1]
    s = socket.create_connection(('127.0.0.1', port))
    key = base64.b64encode(os.urandom(16)).decode()
    s.sendall(('GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nUpgrade: websocket\r\nConnection: '
               'Upgrade\r\nSec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n'
               % (path, port, key)).encode())
    reply = b''
    while b'\r\n\r\n' not in reply:
        reply += s.recv(4096)
    message = json.dumps({'id': 1, 'method': method, 'params': params or {}}).encode()
    mask = os.urandom(4)
    length = bytes([0x80 | len(message)]) if len(message) < 126 else \
        bytes([0x80 | 126]) + struct.pack('>H', len(message))
    s.sendall(b'\x81' + length + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(message)))
    time.sleep(1)
    s.close()


def marionette(commands):
    """Marionette commands in one session: [(name, params), ...]."""
    s = socket.create_connection(('127.0.0.1', 2828))
    stream = s.makefile('rb')
    def read():
        size = b''
        while not size.endswith(b':'):
            size += stream.read(1)
        return json.loads(stream.read(int(size[:-1])))
    read()
    for number, (name, params) in enumerate([('WebDriver:NewSession', {})] + commands, 1):
        if name == 'sleep':
            time.sleep(params)
            continue
        data = json.dumps([0, number, name, params]).encode()
        s.sendall(str(len(data)).encode() + b':' + data)
        read()


def wait_for_exit(process, seconds):
    try:
        process.wait(seconds)
    except subprocess.TimeoutExpired:
        process.terminate()
        process.wait(10)


def main():
    out = os.path.abspath(sys.argv[1])
    os.makedirs(out + '/chromium/Default', exist_ok=True)
    os.makedirs(out + '/firefox', exist_ok=True)
    os.makedirs(out + '/home', exist_ok=True)
    env = dict(os.environ, HOME=out + '/home')
    start = 'http://site1.localhost:%d/start' % PORT
    with open(out + '/chromium/Default/Bookmarks', 'w') as f:
        json.dump({'checksum': '', 'version': 1, 'roots': {
            'bookmark_bar': {'children': [{'id': '5', 'name': 'Start', 'type': 'url', 'url': start,
                                           'date_added': '13370000000000000'}],
                             'id': '1', 'name': 'Bookmarks bar', 'type': 'folder',
                             'date_added': '13370000000000000'},
            'other': {'children': [], 'id': '2', 'name': 'Other', 'type': 'folder',
                      'date_added': '13370000000000000'},
            'synced': {'children': [], 'id': '3', 'name': 'Mobile', 'type': 'folder',
                       'date_added': '13370000000000000'}}}, f)
    debug = free_port()
    chromium = subprocess.Popen(
        ['chromium', '--headless', '--no-sandbox', '--disable-gpu',
         '--disable-background-networking', '--no-first-run',
         '--remote-debugging-port=%d' % debug, '--user-data-dir=' + out + '/chromium', start],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(20)
    devtools(debug, 'Browser.close')
    wait_for_exit(chromium, 30)

    with open(out + '/firefox/user.js', 'w') as f:
        f.write('user_pref("browser.places.importBookmarksHTML", true);\n'
                'user_pref("browser.shell.checkDefaultBrowser", false);\n'
                'user_pref("datareporting.policy.dataSubmissionEnabled", false);\n'
                'user_pref("browser.sessionstore.interval", 2000);\n')
    with open(out + '/firefox/bookmarks.html', 'w') as f:
        f.write('<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><A HREF="%s">Start</A>\n'
                '</DL><p>\n' % start)
    firefox = subprocess.Popen(['firefox-esr', '--headless', '--marionette', '--profile',
                                out + '/firefox'], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    time.sleep(10)
    marionette([('WebDriver:Navigate', {'url': start}), ('sleep', 12),
                ('Marionette:Quit', {'flags': ['eAttemptQuit']})])
    wait_for_exit(firefox, 60)


PORT = free_port()
server = Server(('127.0.0.1', PORT), Pages)
threading.Thread(target=server.serve_forever, daemon=True).start()
main()
server.shutdown()
