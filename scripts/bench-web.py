#!/usr/bin/env python3
"""The web page's size and speed in headless Chromium on Mesa's llvmpipe, and
the native demo's frames on the same renderer, as medians.

    scripts/bench-web.py [--site build-web/site] [--native build] [--runs 5]

Prints: the site's files and the bytes a page load transfers; navigation to
the first frame on screen (index.html?frame=1); per phase of a run to frame
2000 (?frame=2000): the frame time with each frame finished before the next
(a 1-pixel read, as glFinish), against kv17-bench-frames (RenderFrame +
glFinish) in the native offscreen window, the program's own part of it (wasm
and the GL layer, up to the swap), the triangles and draws of a frame, what
a bare WebGL page drawing as many small triangles in as many draws takes in
the same browser, and the average with frames made back to back as the page
makes them; then the steps per second of a normal run.
"""
import argparse
import functools
import http.server
import os
import re
import statistics
import subprocess
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

PHASES = {'cube': (2, 999), 'pyramids': (1002, 2000)}

# Wraps the page's frame step (Module.kv17Page.nextFrame): each frame is
# timed from one step to the next, when FINISH after a 1-pixel read that
# waits for it to be drawn; the program's part runs from a step's return to
# the next step; WebGL's drawElements calls are counted.
TIMING = """
const draw = WebGLRenderingContext.prototype.drawElements;
let triangles = 0, draws = 0;
WebGLRenderingContext.prototype.drawElements = function(mode, count, type, offset) {
    triangles += count / 3;
    ++draws;
    return draw.call(this, mode, count, type, offset);
};
Object.defineProperty(window, 'Module', {configurable: true, set(module) {
    Object.defineProperty(window, 'Module', {value: module, writable: true});
    const page = module.kv17Page, step = page.nextFrame, finish = FINISH;
    const times = window.kv17Times = {frame: [], work: [], triangles: [], draws: []};
    let last = null, resumed = null;
    page.nextFrame = () => {
        if (resumed !== null) times.work.push(performance.now() - resumed);
        if (finish) {
            const gl = document.getElementById('canvas').getContext('webgl');
            gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
        }
        const now = performance.now();
        if (last !== null) times.frame.push(now - last);
        times.triangles.push(triangles);
        times.draws.push(draws);
        triangles = draws = 0;
        last = now;
        return step().then(() => { resumed = performance.now(); });
    };
}});
"""

# The yardstick: N triangles of 2 x 2 pixels, depth-tested, in D draws a
# frame, each frame finished by a 1-pixel read; the median of 100 frames in
# the page's title.
YARDSTICK = b"""<!DOCTYPE html><canvas id=c width=640 height=480></canvas><script>
const gl = c.getContext('webgl', {alpha: false, antialias: false, preserveDrawingBuffer: true});
function shader(kind, text) {
    const s = gl.createShader(kind); gl.shaderSource(s, text); gl.compileShader(s); return s;
}
const program = gl.createProgram();
gl.attachShader(program, shader(gl.VERTEX_SHADER,
    'attribute vec2 p; void main() { gl_Position = vec4(p, 0.0, 1.0); }'));
gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
    'precision mediump float; void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }'));
gl.linkProgram(program); gl.useProgram(program);
const query = new URLSearchParams(location.search), n = +query.get('n'), d = +query.get('draws');
const v = new Float32Array(n * 6), w = 2 / 320, h = 2 / 240;
for (let i = 0; i < n; ++i) {
    const x = (i * 7919 % 640) / 320 - 1, y = (i * 104729 % 480) / 240 - 1;
    v.set([x, y, x + w, y, x, y + h], i * 6);
}
gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
gl.bufferData(gl.ARRAY_BUFFER, v, gl.STATIC_DRAW);
gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0); gl.enableVertexAttribArray(0);
gl.enable(gl.DEPTH_TEST);
const times = [], pixel = new Uint8Array(4);
(function frame() {
    const start = performance.now();
    gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
    for (let k = 0; k < d; ++k)
        gl.drawArrays(gl.TRIANGLES, Math.floor(n * k / d) * 3,
                      (Math.floor(n * (k + 1) / d) - Math.floor(n * k / d)) * 3);
    gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    times.push(performance.now() - start);
    if (times.length < 100) setTimeout(frame, 0);
    else document.title = String(times.sort((a, b) => a - b)[50]);
})();
</script>"""


class Site(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def end_headers(self):
        self.send_header('Cache-Control', 'no-store')  # every load fetches everything
        super().end_headers()

    def do_GET(self):
        if not self.path.startswith('/yardstick.html'):
            return super().do_GET()
        self.send_response(200)
        self.send_header('Content-Type', 'text/html')
        self.send_header('Content-Length', str(len(YARDSTICK)))
        self.end_headers()
        self.wfile.write(YARDSTICK)


def start_browser():
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in ['--headless=new', '--no-sandbox', '--use-angle=gl-egl', '--ignore-gpu-blocklist',
                 '--disable-background-networking', '--disable-component-update',
                 '--disable-sync', '--no-first-run', '--disable-quic', '--window-size=800,700',
                 '--user-data-dir=' + tempfile.mkdtemp(prefix='kv17-bench-')]:
        options.add_argument(flag)
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)


def until(browser, script, timeout=300):
    return WebDriverWait(browser, timeout, 0.05).until(lambda b: b.execute_script(script))


def hold(browser, origin, frame):
    browser.get(f'{origin}/index.html?frame={frame}')
    until(browser, f"return document.getElementById('canvas').dataset.frame === '{frame}'")


def report_size(site):
    files = [os.path.join(folder, name) for folder, _, names in os.walk(site) for name in names]
    sizes = {os.path.relpath(f, site): os.path.getsize(f) for f in files}
    print(f'site: {len(sizes)} files, {sum(sizes.values()) / 1e6:.2f} MB')
    for name, size in sorted(sizes.items(), key=lambda f: -f[1]):
        print(f'  {size / 1e3:9.1f} kB  {name}')


def report_first_frame(browser, origin, runs):
    first, transferred = [], 0
    for _ in range(runs):
        hold(browser, origin, 1)
        first.append(browser.execute_script(
            "return performance.getEntriesByName('kv17-frame-shown')[0].startTime"))
        transferred = browser.execute_script("""
            return [...performance.getEntriesByType('navigation'),
                    ...performance.getEntriesByType('resource')]
                .reduce((sum, e) => sum + e.encodedBodySize, 0)""")
    print(f'a page load transfers {transferred / 1e6:.2f} MB')
    print(f'navigation to frame 1 on screen, median of {runs}: {statistics.median(first):.0f} ms '
          f'(from {min(first):.0f} to {max(first):.0f})')


def native_medians(native):
    out = subprocess.run([os.path.join(native, 'kv17-bench-frames'), '--headless', '--frames',
                          '2000'], check=True, capture_output=True, text=True).stdout
    return {phase: float(ms) for phase, ms in
            re.findall(r'^(cube|pyramids)\s+frames, median of\s+\d+: ([\d.]+) ms', out, re.M)}


def timed_runs(browser, origin, finish, count):
    script = TIMING.replace('FINISH', 'true' if finish else 'false')
    timed = browser.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': script})
    runs = []
    for _ in range(count):
        hold(browser, origin, 2000)
        runs.append(browser.execute_script('return window.kv17Times'))
    browser.execute_cdp_cmd('Page.removeScriptToEvaluateOnNewDocument',
                            {'identifier': timed['identifier']})
    return runs


def report_frames(browser, origin, native):
    runs = timed_runs(browser, origin, True, 3)
    unfinished = timed_runs(browser, origin, False, 1)[0]

    def median(key, low, high):  # run[key][n - 2] belongs to frame n
        return statistics.median(statistics.median(run[key][low - 2:high - 1]) for run in runs)

    for phase, (low, high) in PHASES.items():
        frame, work = median('frame', low, high), median('work', low, high)
        triangles, draws = round(median('triangles', low, high)), round(median('draws', low, high))
        browser.get(f'{origin}/yardstick.html?n={triangles}&draws={draws}')
        bare = float(until(browser, 'return document.title || null'))
        print(f'{phase:8} frames: median {frame:.2f} ms = {frame / native[phase]:.2f} x native '
              f'{native[phase]:.2f} ms; the program\'s own part {work:.2f} ms; '
              f'{triangles} triangles in {draws} draws, which a bare WebGL page draws in '
              f'{bare:.2f} ms')
        back_to_back = statistics.mean(unfinished['frame'][low - 2:high - 1])
        print(f'{phase:8} frames back to back, not finished one by one: {back_to_back:.2f} ms '
              f'each on average')


def report_pace(browser, origin):
    browser.get(f'{origin}/index.html')
    until(browser, "return document.getElementById('box').open", 60)
    browser.find_element('id', 'box-no').click()
    until(browser, 'return Module.kv17Page.framesShown > 30', 60)
    steps = browser.execute_script("""
        const start = [performance.now(), Module.kv17Page.framesShown];
        return new Promise(done => setTimeout(() => done(
            (Module.kv17Page.framesShown - start[1]) * 1000 / (performance.now() - start[0])),
            3000));""")
    print(f'a normal run steps {steps:.1f} times a second')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--site', default='build-web/site')
    parser.add_argument('--native', default='build')
    parser.add_argument('--runs', type=int, default=5)
    args = parser.parse_args()

    report_size(args.site)
    server = http.server.ThreadingHTTPServer(
        ('127.0.0.1', 0), functools.partial(Site, directory=args.site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    origin = f'http://127.0.0.1:{server.server_port}'
    browser = start_browser()
    try:
        report_first_frame(browser, origin, args.runs)
        report_frames(browser, origin, native_medians(args.native))
        report_pace(browser, origin)
    finally:
        browser.quit()
        server.shutdown()


if __name__ == '__main__':
    main()
