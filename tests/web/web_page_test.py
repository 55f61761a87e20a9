#!/usr/bin/env python3
"""The demo's web page in headless Chromium, drawn by Mesa's llvmpipe as the
native frames are: its frames against kv17-capture's, its message boxes, F1,
Esc, what it says when something is missing, and no request leaving its
origin.

    web_page_test.py SITE_DIR KV17_CAPTURE    (run from the source tree)

KV17_WEB_SCREENSHOT=FILE also saves the page, held at frame 1100, as FILE.
"""
import base64
import functools
import http.server
import io
import json
import os
import subprocess
import sys
import tempfile
import threading
import unittest

from PIL import Image, ImageChops
from selenium import webdriver
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

SITE, CAPTURE = sys.argv[1], sys.argv[2]
LEVELS, MOST_PIXELS = 8, 300  # pixels may differ by more than 8 levels, at most 300 of them
START = ('Start FullScreen?', 'Would You Like To Run In Fullscreen Mode?', ['Yes', 'No'])

# Moments a link can name, each against kv17-capture with the same keys.
MOMENTS = [
    ('cube and the greeting line', 150, None),
    ('the first flash', 455, None),
    ('pyramids, the line hanging from one', 1100, None),
    ('pyramids tilted, the line with them', 1800, None),
    ('camera moved back by PageUp', 320, 'pageup:200-300'),
    ('F1 in the pyramid phase: the timeline goes on', 1100, 'f1:1050'),
]


class Site(http.server.SimpleHTTPRequestHandler):
    missing = set()  # paths answered 404, as a site without them would

    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=SITE, **kwargs)

    def log_message(self, *args):
        pass

    def end_headers(self):
        self.send_header('Cache-Control', 'no-store')  # each page load asks again
        super().end_headers()

    def do_GET(self):
        path = self.path.split('?')[0]
        if path in Site.missing:
            self.send_error(404)
        elif path == '/framed.html':  # the page in a frame not allowed full screen
            body = (b'<!DOCTYPE html><link rel="icon" href="data:,"><iframe src="index.html" '
                    b'allow="fullscreen \'none\'" width="760" height="640"></iframe>')
            self.send_response(200)
            self.send_header('Content-Type', 'text/html')
            self.send_header('Content-Length', str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        else:
            super().do_GET()


def native_frames(frames, keys, folder):
    args = [CAPTURE, '--headless', '--frames', frames, '--out', folder]
    subprocess.run(args + (['--keys', keys] if keys else []), check=True, capture_output=True)
    return folder


class WebPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Site)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.origin = f'http://127.0.0.1:{cls.server.server_port}'
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for flag in ['--headless=new', '--no-sandbox', '--use-angle=gl-egl',
                     '--ignore-gpu-blocklist', '--disable-background-networking',
                     '--disable-component-update', '--disable-sync', '--no-first-run',
                     '--disable-quic', '--window-size=800,700',
                     '--user-data-dir=' + tempfile.mkdtemp(prefix='kv17-chromium-')]:
            options.add_argument(flag)
        options.set_capability('goog:loggingPrefs', {'performance': 'ALL'})
        cls.browser = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.server.shutdown()

    def setUp(self):
        Site.missing = set()

    def open(self, page='index.html'):
        self.browser.get(f'{self.origin}/{page}')

    def until(self, script, what, timeout=60):
        return WebDriverWait(self.browser, timeout, 0.05).until(
            lambda b: b.execute_script(script), f'waited for {what}')

    def dialog(self):
        """The open dialog's caption, text and visible buttons."""
        self.until("return document.getElementById('box').open", 'a dialog')
        return tuple(self.browser.execute_script("""
            const box = document.getElementById('box');
            return [box.querySelector('h2').textContent, box.querySelector('p').textContent.trim(),
                    [...box.querySelectorAll('button')].filter(b => !b.hidden)
                        .map(b => b.textContent)];"""))

    def answer(self, button):
        self.browser.find_element('xpath', f"//dialog//button[text()='{button}']").click()

    def press(self, key, until, what):
        """Holds `key` down until the page shows its effect: the demo reads keys
        once a frame, as a person's press lasts."""
        ActionChains(self.browser).key_down(key).perform()
        try:
            self.until(until, what)
        finally:
            ActionChains(self.browser).key_up(key).perform()

    def ended(self):
        return self.until("""const ended = document.getElementById('ended');
            return !ended.hidden && document.activeElement.id === 'run-again' &&
                   ended.innerText;""", 'the ended message')

    def held_frame(self, frame, keys):
        self.open(f'index.html?frame={frame}' + (f'&keys={keys}' if keys else ''))
        self.until(f"return document.getElementById('canvas').dataset.frame === '{frame}'",
                   f'frame {frame} on the canvas', timeout=120)
        url = self.browser.execute_script(
            "return document.getElementById('canvas').toDataURL('image/png')")
        return Image.open(io.BytesIO(base64.b64decode(url.split(',')[1]))).convert('RGB')

    def test_frames_match_the_native_ones(self):
        with tempfile.TemporaryDirectory() as folder:
            runs = {}
            for keys in {keys for _, _, keys in MOMENTS}:
                frames = ','.join(str(f) for _, f, k in MOMENTS if k == keys)
                runs[keys] = native_frames(frames, keys, os.path.join(folder, str(keys)))
            for name, frame, keys in MOMENTS:
                with self.subTest(name, frame=frame, keys=keys):
                    web = self.held_frame(frame, keys)
                    native = Image.open(os.path.join(runs[keys], f'frame-{frame:05d}.png'))
                    difference = ImageChops.difference(web, native.convert('RGB'))
                    apart = sum(1 for pixel in difference.getdata() if max(pixel) > LEVELS)
                    self.assertLessEqual(apart, MOST_PIXELS, f'pixels over {LEVELS} levels apart')
                    if frame == 1100 and not keys and os.environ.get('KV17_WEB_SCREENSHOT'):
                        self.browser.save_screenshot(os.environ['KV17_WEB_SCREENSHOT'])

    def test_start_question_full_screen_f1_esc_and_run_again(self):
        self.open()
        self.assertEqual(self.dialog(), START)
        self.answer('Yes')
        self.until("return document.fullscreenElement?.id === 'canvas'", 'full screen')
        self.press(Keys.F1, "return document.fullscreenElement === null", 'a window after F1')
        self.press(Keys.F1, "return document.fullscreenElement?.id === 'canvas'",
                   'full screen after F1')
        # Leaving full screen the browser's way takes the demo to its window
        # too, so that the next F1 asks for full screen again.
        shown = self.browser.execute_script(
            'document.exitFullscreen(); return Module.kv17Page.framesShown')
        self.until(f'return Module.kv17Page.framesShown > {shown + 10}', 'frames in the window')
        self.press(Keys.F1, "return document.fullscreenElement?.id === 'canvas'",
                   'full screen after leaving it and F1')
        self.press(Keys.ESCAPE, "return !document.getElementById('ended').hidden", 'the end')
        self.assertIn('The demo has ended.', self.ended())
        self.browser.find_element('id', 'run-again').click()
        self.assertEqual(self.dialog(), START)

    def test_no_full_screen_in_a_frame_asks_for_a_window(self):
        self.open('framed.html')
        self.browser.switch_to.frame(0)
        try:
            self.dialog()
            self.answer('Yes')
            self.assertEqual(self.dialog(), (
                'Orix GL', 'The Requested Fullscreen Mode Is Not Supported By\n'
                'Your Video Card. Use Windowed Mode Instead?', ['Yes', 'No']))
            self.answer('No')
            self.assertEqual(self.dialog(), ('ERROR', 'Program Will Now Close.', ['OK']))
            self.answer('OK')
            self.assertIn('The demo could not run.', self.ended())
        finally:
            self.browser.switch_to.default_content()

    def test_what_the_page_says_when_it_cannot_run(self):
        cases = [  # name, script run before the page's, path missing, boxes, what the page says
            ('texture missing', None, '/Data/texture.bmp',
             [('ERROR', 'Initialization Failed.')], 'Data/texture.bmp could not be loaded (HTTP 404)'),
            ('context refused', 'HTMLCanvasElement.prototype.getContext = () => null;', None,
             [('ERROR', "Can't Create A GL Rendering Context.")],
             'The browser refused the page a WebGL context'),
            ('no WebGL', 'delete window.WebGLRenderingContext;', None, [],
             'This page draws with WebGL 1, which this browser does not offer.'),
        ]
        for name, script, missing, boxes, said in cases:
            with self.subTest(name):
                Site.missing = {missing}
                added = script and self.browser.execute_cdp_cmd(
                    'Page.addScriptToEvaluateOnNewDocument', {'source': script})
                try:
                    self.open('index.html?frame=10')
                    for caption, text in boxes:
                        self.assertEqual(self.dialog(), (caption, text, ['OK']))
                        self.answer('OK')
                    self.assertIn(said, self.ended())
                finally:
                    if added:
                        self.browser.execute_cdp_cmd('Page.removeScriptToEvaluateOnNewDocument',
                                                     {'identifier': added['identifier']})

    def test_no_request_leaves_the_origin(self):
        self.browser.get_log('performance')  # what earlier tests left
        self.held_frame(30, None)
        urls = [event['params']['request']['url'] for event in
                (json.loads(entry['message'])['message'] for entry in
                 self.browser.get_log('performance'))
                if event['method'] == 'Network.requestWillBeSent']
        self.assertIn(f'{self.origin}/kv17demo.wasm', urls)
        self.assertEqual([url for url in urls if not url.startswith(self.origin + '/')], [])


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
