'use strict';
// The page around the demo: it loads the program and its data, shows the
// program's message boxes as dialogs, takes the canvas full screen, paces
// the frames and says when the run has ended. The program reaches it as
// Module.kv17Page (web/platform/page.cpp).
(() => {
    const canvas = document.getElementById('canvas');
    const notice = document.getElementById('notice');
    const box = document.getElementById('box');
    const font = document.currentScript.dataset.font;
    const texture = 'Data/texture.bmp';

    // index.html?frame=N&keys=SCRIPT names a moment: it runs as
    // kv17-capture --frames N --keys SCRIPT would and holds frame N.
    const query = new URLSearchParams(location.search);
    const moment = query.get('frame');
    const args = moment === null ? [] : ['--frames', moment];
    if (moment !== null && query.get('keys') !== null) args.push('--keys', query.get('keys'));

    const problems = [];  // what went wrong, said again when the run ends

    function tell(text) {
        notice.textContent = text;
    }

    function end(text) {
        tell('');
        const ended = document.getElementById('ended');
        document.getElementById('ended-text').textContent = [text, ...problems].join(' ');
        ended.hidden = false;
        document.querySelector('.keys').hidden = true;
        const again = document.getElementById('run-again');
        again.onclick = () => location.reload();
        again.focus();
    }

    // Message boxes: Yes and No, or OK; Esc gives the declining answer.
    const IDOK = 1, IDYES = 6, IDNO = 7, MB_YESNO = 4;
    const icons = {0x10: 'stop', 0x20: 'question', 0x30: 'exclamation', 0x40: 'information'};

    function askInDialog(caption, text, flags) {
        const question = (flags & 0x0F) === MB_YESNO;
        document.getElementById('box-caption').textContent = caption;
        document.getElementById('box-text').textContent = text;
        box.dataset.icon = icons[flags & 0xF0] || 'information';
        const yes = document.getElementById('box-yes');
        const no = document.getElementById('box-no');
        const ok = document.getElementById('box-ok');
        yes.hidden = no.hidden = !question;
        ok.hidden = question;
        tell('');
        return new Promise(resolve => {
            const answer = value => {
                box.close();
                canvas.focus();
                resolve(value);
            };
            yes.onclick = () => answer(IDYES);
            no.onclick = () => answer(IDNO);
            ok.onclick = () => answer(IDOK);
            box.oncancel = event => {
                event.preventDefault();
                answer(question ? IDNO : IDOK);
            };
            box.showModal();
            (question ? yes : ok).focus();
        });
    }

    // Full screen: the click or key that asked for it lets the page take it.
    let leaving = false;

    async function enterFullScreen() {
        if (moment !== null || !document.fullscreenEnabled) return 0;
        try {
            await canvas.requestFullscreen({navigationUI: 'hide'});
            canvas.focus();
            return 1;
        } catch (refused) {
            return 0;
        }
    }

    async function leaveFullScreen() {
        if (!document.fullscreenElement) return;
        leaving = true;
        await document.exitFullscreen().catch(() => {});
        leaving = false;
        canvas.focus();
    }

    // The browser left full screen by itself (Esc, F11): the demo follows
    // into a window, as F1 would take it.
    document.addEventListener('fullscreenchange', () => {
        if (!document.fullscreenElement && !leaving && Module.calledRun)
            Module._kv17_full_screen_left();
    });

    // One step per displayed frame, at most 60 a second: on a faster display
    // the frames that come early are let pass.
    const stepPeriod = 1000 / 60, earlyAllowed = 2;
    let nextDue = 0;

    function waitForDisplayFrame() {
        return new Promise(resolve => {
            const onFrame = time => {
                if (time < nextDue - earlyAllowed) {
                    requestAnimationFrame(onFrame);
                    return;
                }
                nextDue = time - nextDue > stepPeriod ? time + stepPeriod : nextDue + stepPeriod;
                resolve();
            };
            requestAnimationFrame(onFrame);
        });
    }

    // A named moment runs as fast as the browser draws: each frame only lets
    // the browser take its turn.
    const channel = new MessageChannel();
    const waiting = [];
    channel.port1.onmessage = () => waiting.shift()();

    function yieldToBrowser() {
        return new Promise(resolve => {
            waiting.push(resolve);
            channel.port2.postMessage(0);
        });
    }

    // Marks the canvas once the frame is on screen (after the paint that
    // follows the next animation frame), and never answers.
    function holdFrame(frame) {
        requestAnimationFrame(() =>
            requestAnimationFrame(() => {
                performance.mark('kv17-frame-shown');
                canvas.dataset.frame = String(frame);
            }));
        return new Promise(() => {});
    }

    let noContext = '';

    // What the program calls (web/platform/page.cpp).
    const kv17Page = {
        askInDialog,
        enterFullScreen,
        leaveFullScreen,
        framesShown: 0,
        nextFrame() {
            ++kv17Page.framesShown;
            return moment === null ? waitForDisplayFrame() : yieldToBrowser();
        },
        holdFrame,
        keepsFrames: () => moment !== null,
        tellNoContext() {
            noContext = typeof WebGLRenderingContext === 'undefined'
                ? 'This browser has no WebGL.'
                : 'The browser refused the page a WebGL context: WebGL may be turned off, ' +
                  'or blocked for this graphics driver.';
        },
        tellEnded(exitCode) {
            if (noContext) problems.unshift(noContext);
            end(exitCode === 0 ? 'The demo has ended.' : 'The demo could not run.');
        },
        tellBadLink(why) {
            end(`This link names no moment the demo can show (${why}).`);
        },
    };

    // The data, fetched while the program loads; a file that is missing is
    // left out, and the program says what it misses as the desktop one does.
    async function fetchFile(path) {
        try {
            const response = await fetch(path);
            if (response.ok) return new Uint8Array(await response.arrayBuffer());
            problems.push(`${path} could not be loaded (HTTP ${response.status}).`);
        } catch (failure) {
            problems.push(`${path} could not be loaded (${failure.message}).`);
        }
        return null;
    }
    const data = Promise.all([fetchFile(texture), fetchFile(font)]);

    function storeData() {
        Module.addRunDependency('data');
        data.then(([textureBytes, fontBytes]) => {
            Module.FS.mkdir('/Data');
            Module.FS.mkdir('/fonts');
            if (textureBytes) Module.FS.writeFile('/' + texture, textureBytes);
            if (fontBytes) Module.FS.writeFile('/' + font, fontBytes);
            else tell(`${problems.join(' ')} The greeting line cannot be drawn.`);
            Module.removeRunDependency('data');
        });
    }

    if (typeof WebGLRenderingContext === 'undefined') {
        end('This page draws with WebGL 1, which this browser does not offer.');
        return;
    }

    window.Module = {
        canvas,
        arguments: args,
        kv17Page,
        preRun: [storeData],
        onRuntimeInitialized() {
            tell('');
            canvas.focus();
        },
        print: text => console.log(text),
        printErr: text => console.error(text),
        onAbort: what => end(`The demo stopped: ${what}`),
    };
    // PageUp and PageDown are the camera's, not the page's to scroll.
    canvas.addEventListener('keydown', event => {
        if (event.key === 'PageUp' || event.key === 'PageDown') event.preventDefault();
    });
    tell('Loading the demo\u2026');
    const program = document.createElement('script');
    program.src = 'kv17demo.js';
    program.onerror = () => end('The program kv17demo.js could not be loaded.');
    document.body.append(program);
})();
