// The page around the demo: progress while it loads, a prompt to click (a
// browser starts sound only after one), full screen, the soundtrack through
// Web Audio, and back to the prompt when a run ends.
'use strict';

(function () {
    const body = document.body;
    const canvas = document.getElementById('canvas');
    const progress = document.getElementById('progress');
    const promptNote = document.getElementById('prompt-note');
    const soundtrackRate = 44100; // the rate the demo's spectrum is taken at

    const show = (state) => { body.dataset.state = state; };

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

    let audio = null;     // the AudioContext, made at the first click
    let music = null;     // the decoded soundtrack
    let source = null;    // the soundtrack playing, if it is
    let playWhen = 0;     // the context's time it started at
    let playOffset = 0;   // seconds into the soundtrack it started from
    let startFrom = 0;    // ?from=SECONDS
    let wentFullScreen = false;

    // The audio output's clock: the context's time of the sound leaving the
    // speakers now, between the browser's reports.
    function audioClock() {
        if (!audio) return 0;
        const stamp = audio.getOutputTimestamp ? audio.getOutputTimestamp() : null;
        if (stamp && stamp.performanceTime > 0) {
            const now = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
            return Math.min(now, audio.currentTime);
        }
        return Math.max(0, audio.currentTime - (audio.outputLatency || audio.baseLatency || 0));
    }

    function stopMusic() {
        if (source) {
            source.onended = null;
            source.stop();
            source.disconnect();
            source = null;
        }
    }

    const page = {
        hasAudio: () => audio !== null && music !== null,
        playMusic(offset) {
            if (!audio || !music) return false;
            stopMusic();
            source = audio.createBufferSource();
            source.buffer = music;
            source.connect(audio.destination);
            playWhen = audio.currentTime;
            playOffset = offset;
            source.start(playWhen, Math.min(offset, music.duration));
            return true;
        },
        stopMusic,
        heardSeconds() {
            // A context that never started (no sound server) has heard nothing.
            if (!source || audio.state !== 'running') return -1;
            const now = audioClock();
            return now < playWhen ? -1 : playOffset + (now - playWhen);
        },
        audioClock,
        loaded() {
            progress.textContent = 'Loading 100 %';
            decodeSoundtrack().then(readStartFrom).then(() => show('prompt'));
        },
        runEnded() {
            stopMusic();
            show('prompt');
            if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
            wentFullScreen = false;
        },
        noWebGl: () => show('nowebgl'),
    };

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
            console.warn('The soundtrack cannot be decoded; the demo plays without it:', error);
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

    function start() {
        if (body.dataset.state !== 'prompt') return;
        if (!audio) audio = new AudioContext();
        audio.resume();
        const screen = document.documentElement;
        if (screen.requestFullscreen) {
            screen.requestFullscreen().then(() => { wentFullScreen = true; }).catch(() => {});
        }
        show('running');
        canvas.focus();
        Module._quarnel_start(startFrom);
    }
    body.addEventListener('click', start);

    // Escape ends the run, as on the desktop; so does leaving full screen,
    // which Escape does in most browsers before the page hears it.
    window.addEventListener('keydown', (event) => {
        if (event.key === 'Escape' && body.dataset.state === 'running') Module._quarnel_stop();
    });
    document.addEventListener('fullscreenchange', () => {
        if (!document.fullscreenElement && wentFullScreen && body.dataset.state === 'running') {
            wentFullScreen = false;
            Module._quarnel_stop();
        }
    });

    // The test hook: frames at exact times, the spectrum, the clock.
    window.quarnel = {
        drawAt(t) {
            const at = Module._quarnel_draw_at(t);
            const width = canvas.width, height = canvas.height;
            const pixels = Module.HEAPU8.subarray(at, at + width * height * 3);
            let text = '';
            for (let i = 0; i < pixels.length; i += 0x8000)
                text += String.fromCharCode.apply(null, pixels.subarray(i, i + 0x8000));
            return { width, height, rgb: btoa(text) };
        },
        spectrumAt(t) {
            const at = Module._quarnel_spectrum_at(t) >> 2;
            return Array.from(Module.HEAPF32.subarray(at, at + 256));
        },
        timeFrames: (from, to, count) => Module._quarnel_time_frames(from, to, count),
        webglCalls: () => Module._quarnel_es_calls(),
        clock: () => ({ demo: Module._quarnel_clock_demo(), audio: Module._quarnel_clock_audio() }),
    };

    window.Module = {
        canvas,
        quarnelPage: page,
        noInitialRun: !webgl,
        // The data's download reports "Downloading data... (done/total)".
        setStatus(text) {
            const parts = /\((\d+)\/(\d+)\)/.exec(text || '');
            if (parts && Number(parts[2]) > 0)
                progress.textContent = 'Loading ' + Math.floor((100 * parts[1]) / parts[2]) + ' %';
        },
        print: (text) => console.log(text),
        printErr: (text) => console.error(text),
    };
    if (!webgl) show('nowebgl');
})();
