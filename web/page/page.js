// The page around the demo: progress while it loads, a prompt to click (a
// browser starts sound only after one), full screen, the soundtrack through
// Web Audio, back to the prompt when a run ends, a short line when a run
// plays without sound, and one sentence for any failure.
'use strict';

(function () {
    const body = document.body;
    const canvas = document.getElementById('canvas');
    const progress = document.getElementById('progress');
    const promptNote = document.getElementById('prompt-note');
    const failure = document.getElementById('failed');
    const soundNote = document.getElementById('sound-note');
    const soundtrackRate = 44100; // the rate the demo's spectrum is taken at

    const stateNow = () => body.dataset.state;
    const reasonOf = (error) => error?.message ?? String(error ?? '');
    // A failure is the page's last word.
    const show = (state) => {
        if (stateNow() !== 'failed') body.dataset.state = state;
    };

    // The drawing buffer has the window's own resolution: its size in CSS
    // pixels times the screen's pixel ratio.
    function fitCanvas() {
        const ratio = window.devicePixelRatio || 1;
        canvas.width = Math.max(1, Math.round(window.innerWidth * ratio));
        canvas.height = Math.max(1, Math.round(window.innerHeight * ratio));
    }
    // A new pixel ratio (the window moved to another screen, or a zoom) does
    // not always come with a resize.
    function followPixelRatio() {
        fitCanvas();
        window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)')
            .addEventListener('change', followPixelRatio, { once: true });
    }
    followPixelRatio();
    window.addEventListener('resize', fitCanvas);

    const webgl = document.createElement('canvas').getContext('webgl');

    let audio = null;      // the AudioContext, made at the first click
    let audioError = '';   // why there is none, or why it did not start
    let music = null;      // the decoded soundtrack
    let musicError = '';   // why there is none
    let source = null;     // the soundtrack playing, if it is
    let pending = null;    // a start asked for before the output played: { offset, at }
    let playWhen = 0;      // the context's time it started at
    let playOffset = 0;    // seconds into the soundtrack it started from
    let startFrom = 0;     // ?from=SECONDS
    let wentFullScreen = false;
    let runStarted = 0;    // performance.now() at the click that started the run
    let heardInRun = false;   // the output ran during this run
    let soundNoted = false;   // the line is said for this absence of sound
    let lastContextTime = -1; // the context's clock as last read, and when it moved
    let lastMoved = 0;
    const standStill = 500; // ms without a move of the context's clock: it has stopped

    // The audio output's clock: the context's time of the sound leaving the
    // speakers now, between the browser's reports; null while the output does
    // not play (suspended, interrupted, closed, or its clock standing still).
    function outputTime() {
        if (!audio || audio.state !== 'running') return null;
        const now = performance.now();
        if (audio.currentTime !== lastContextTime) {
            lastContextTime = audio.currentTime;
            lastMoved = now;
        } else if (now - lastMoved > standStill) {
            return null;
        }
        // A report from before the output stalled (a busy machine, a hidden
        // tab) runs ahead of the context's own clock: the latency it gives
        // stands in for it then.
        const stamp = audio.getOutputTimestamp ? audio.getOutputTimestamp() : null;
        const reported = stamp && stamp.performanceTime > 0 ?
            stamp.contextTime + (now - stamp.performanceTime) / 1000 : Infinity;
        const latency = (audio.outputLatency || 0) + (audio.baseLatency || 0);
        return reported <= audio.currentTime ? reported : Math.max(0, audio.currentTime - latency);
    }

    // Why the output does not play now, in a few words.
    function whyNoSound() {
        if (!audio) return audioError || 'this browser has no Web Audio';
        if (!music) return 'the soundtrack cannot be decoded' + (musicError && ' (' + musicError + ')');
        const reason = {
            suspended: heardInRun ? 'the browser suspended its sound output'
                                  : 'the browser has not started its sound output',
            interrupted: 'the sound output was interrupted',
            closed: 'the sound output was closed',
        }[audio.state] || 'the sound output\'s clock stands still (no sound device?)';
        return reason + (audioError && ' (' + audioError + ')');
    }

    // Says once, in a line at the foot of the picture that fades in a few
    // seconds, that the run goes on without sound, and why.
    function noteNoSound() {
        if (soundNoted) return;
        soundNoted = true;
        soundNote.textContent = 'The demo plays without sound: ' + whyNoSound() + '.';
        soundNote.classList.remove('shown');
        void soundNote.offsetWidth; // restarts the fade
        soundNote.classList.add('shown');
    }

    function stopMusic() {
        pending = null;
        if (source) {
            source.onended = null;
            source.stop();
            source.disconnect();
            source = null;
        }
    }

    // Leaves full screen without ending a run by it.
    function leaveFullScreen() {
        wentFullScreen = false;
        if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    }

    const page = {
        hasAudio: () => audio !== null && music !== null,
        // Starts the soundtrack so that the sound leaving the speakers is
        // `offset` seconds into it now: it starts that far in plus the time
        // the output takes. An output not playing yet starts it where the
        // request's time has come to when it plays.
        playMusic(offset) {
            if (!audio || !music) return false;
            stopMusic();
            const out = outputTime();
            if (out === null) {
                pending = { offset, at: performance.now() };
                return true;
            }
            playWhen = audio.currentTime;
            playOffset = offset + Math.max(0, playWhen - out);
            source = audio.createBufferSource();
            source.buffer = music;
            source.connect(audio.destination);
            source.start(playWhen, Math.min(playOffset, music.duration));
            return true;
        },
        stopMusic,
        // Seconds into the soundtrack of the sound leaving the speakers now;
        // -1 while none is (before its start, or with the output not playing,
        // which the viewer is told once a run has had time to start it).
        heardSeconds() {
            const now = outputTime();
            if (now === null) {
                if (performance.now() - runStarted > 1500) noteNoSound();
                return -1;
            }
            heardInRun = true;
            soundNoted = false;
            audioError = '';
            if (pending) page.playMusic(pending.offset + (performance.now() - pending.at) / 1000);
            return !source || now < playWhen ? -1 : playOffset + (now - playWhen);
        },
        audioClock: () => outputTime() || 0,
        dataComplete,
        loaded() {
            programLoaded = true;
            progress.textContent = 'Loading 100 %';
            decodeSoundtrack().then(readStartFrom).then(() => show('prompt'))
                .catch((error) => fail('The demo could not get ready', error, 'reload the page'));
        },
        runEnded() {
            stopMusic();
            show('prompt');
            leaveFullScreen();
        },
        noWebGl: () => show('nowebgl'),
    };

    // Every failure ends in one sentence: what went wrong and what to do.
    // The sentences name the data file as the program's script fetches it.
    // (The one-file page has the program inside; looked up late, when its
    // tag is there.)
    const oneFile = () => !document.querySelector('script[src]');
    let dataName = 'quarnel.data', dataSize = -1, dataReceived = -1, shownPercent = 0;
    let programLoaded = false, lastError = '';
    function fail(what, error, remedy) {
        const state = stateNow();
        if (state === 'failed' || state === 'nowebgl') return;
        stopMusic();
        leaveFullScreen();
        const reason = reasonOf(error);
        if (location.protocol === 'file:' && !oneFile() && state === 'loading') {
            failure.textContent = 'Opened from disk, this page cannot read the files beside it: ' +
                'serve its folder as the readme says, or open the one-file page (quarnel.html).';
        } else {
            failure.textContent = what + (reason && ' (' + reason + ')') + ': ' + remedy + '.';
        }
        body.dataset.state = 'failed';
    }
    const getAnotherCopy = () => (oneFile() ? 'download the page again'
        : 'copy the whole folder again, or open the one-file page (quarnel.html)');
    function failWith(error) {
        if (stateNow() !== 'loading')
            fail('The demo stopped on an error', error, 'reload the page to play it again');
        else if (!oneFile() && reasonOf(error).includes(dataName))
            fail('The demo\'s data (' + dataName + ') could not be loaded', error,
                 'serve the whole folder as the readme says, or open the one-file page (quarnel.html)');
        else
            fail('The demo\'s program could not start', error, getAnotherCopy());
    }
    // Caught on the way down, a script that cannot be fetched says so too.
    window.addEventListener('error', (event) => {
        const file = event.target !== window && event.target.src;
        failWith(file ? file + ' cannot be fetched' : event.error || event.message);
    }, true);
    window.addEventListener('unhandledrejection', (event) => failWith(event.reason));

    // The data arrived whole: as many bytes as the program was built with.
    function dataComplete() {
        if (dataSize < 0 || dataReceived < 0 || dataReceived === dataSize) return true;
        fail('The demo\'s data (' + dataName + ') is damaged', dataReceived + ' bytes, not ' + dataSize,
             getAnotherCopy());
        return false;
    }

    // The soundtrack, decoded by the browser at the demo's rate; its mono mix
    // goes to the demo for the spectrum. Without it the run is silent.
    async function decodeSoundtrack() {
        try {
            const path = Module.UTF8ToString(Module._quarnel_soundtrack_path());
            const bytes = Module.FS.readFile(path);
            const decoder = new OfflineAudioContext(2, soundtrackRate, soundtrackRate);
            music = await decoder.decodeAudioData(bytes.buffer);
            const left = music.getChannelData(0);
            const right = music.numberOfChannels > 1 ? music.getChannelData(1) : left;
            const at = Module._quarnel_soundtrack_buffer(left.length) >> 2;
            const mono = Module.HEAPF32.subarray(at, at + left.length);
            for (let i = 0; i < left.length; i++) mono[i] = 0.5 * (left[i] + right[i]);
        } catch (error) {
            music = null;
            musicError = reasonOf(error);
        }
    }

    // ?from=SECONDS starts the run there, as the demo's --from does.
    function readStartFrom() {
        const text = new URLSearchParams(window.location.search).get('from');
        if (text === null) return;
        const seconds = Module._malloc(8);
        const textAt = allocateText(text);
        const error = Module._quarnel_read_from(textAt, seconds);
        if (error === 0) {
            startFrom = Module.HEAPF64[seconds >> 3];
            promptNote.textContent = 'from ' + text + ' s';
        } else {
            promptNote.textContent = '?from=' + text + ': ' + Module.UTF8ToString(error) +
                '; the demo starts from its beginning';
        }
        Module._free(textAt);
        Module._free(seconds);
    }
    function allocateText(text) {
        const size = Module.lengthBytesUTF8(text) + 1;
        const at = Module._malloc(size);
        Module.stringToUTF8(text, at, size);
        return at;
    }

    // The context is made at the first click; a browser that refuses to make
    // or start it leaves its reason for the line.
    function startAudio() {
        if (!audio) {
            try {
                audio = new AudioContext();
            } catch (error) {
                audioError = reasonOf(error);
                return;
            }
        }
        audio.resume().catch((error) => { audioError = reasonOf(error); });
    }

    function start() {
        if (stateNow() !== 'prompt') return;
        startAudio();
        const screen = document.documentElement;
        if (screen.requestFullscreen) {
            screen.requestFullscreen().then(() => { wentFullScreen = true; }).catch(() => {});
        }
        show('running');
        canvas.focus();
        runStarted = performance.now();
        heardInRun = soundNoted = false;
        if (!page.hasAudio()) noteNoSound();
        Module._quarnel_start(startFrom);
    }
    body.addEventListener('click', start);

    // Escape ends the run, as on the desktop; so does leaving full screen,
    // which Escape does in most browsers before the page hears it.
    window.addEventListener('keydown', (event) => {
        if (event.key === 'Escape' && stateNow() === 'running') Module._quarnel_stop();
    });
    document.addEventListener('fullscreenchange', () => {
        if (!document.fullscreenElement && wentFullScreen && stateNow() === 'running') {
            wentFullScreen = false;
            Module._quarnel_stop();
        }
    });

    // The test hook: frames at exact times, the spectrum, the clock.
    window.quarnel = {
        // The frame's RGB rows, top first, deflated (zlib) and in base64: a
        // 1920 x 1080 frame's 8 MB as text took most of a second to reach
        // the test; mostly black, deflated it is a tenth of that.
        async drawAt(t) {
            const at = Module._quarnel_draw_at(t);
            const width = canvas.width, height = canvas.height;
            const pixels = Module.HEAPU8.subarray(at, at + width * height * 3);
            const deflated = new Uint8Array(await new Response(
                new Blob([pixels]).stream().pipeThrough(new CompressionStream('deflate')))
                .arrayBuffer());
            let text = '';
            for (let i = 0; i < deflated.length; i += 0x8000)
                text += String.fromCharCode.apply(null, deflated.subarray(i, i + 0x8000));
            return { width, height, rgb: btoa(text) };
        },
        spectrumAt(t) {
            const at = Module._quarnel_spectrum_at(t) >> 2;
            return Array.from(Module.HEAPF32.subarray(at, at + 256));
        },
        timeFrames: (from, to, count) => Module._quarnel_time_frames(from, to, count),
        webglCalls: () => Module._quarnel_es_calls(),
        clock: () => ({ demo: Module._quarnel_clock_demo(), audio: Module._quarnel_clock_audio(),
                        at: Module._quarnel_clock_at() }),
    };

    window.Module = {
        canvas,
        quarnelPage: page,
        noInitialRun: !webgl,
        // The data's download reports "Downloading data... (done/total)".
        // The total can grow as a download learns its size (Firefox), so the
        // percentage shown only rises.
        setStatus(text) {
            const parts = /\((\d+)\/(\d+)\)/.exec(text || '');
            if (parts) dataReceived = Number(parts[1]);
            if (parts && Number(parts[2]) > 0) {
                shownPercent = Math.max(shownPercent, Math.floor((100 * parts[1]) / parts[2]));
                progress.textContent = 'Loading ' + shownPercent + ' %';
            }
        },
        // The data's name and size as the program was built with it; the
        // download goes on as usual.
        getPreloadedPackage(name, size) {
            [dataName, dataSize] = [name, size];
            return null;
        },
        onAbort: (what) => failWith(what),
        // A program that ends before it has loaded (an exit on damaged data,
        // no SDL) said why on its standard error.
        postRun() {
            if (!programLoaded) failWith(lastError || 'it ended while loading');
        },
        print: (text) => console.log(text),
        printErr(text) {
            lastError = text;
            console.error(text);
        },
    };
    if (!webgl) show('nowebgl');
})();
