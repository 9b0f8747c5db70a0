// The page's side of the web toolkit: the DOM the game is drawn in, the input it takes, and the
// timer it waits on. Nothing here calls into the game. Input is queued, and the game's one loop
// takes it whenever it waits: so a box holds that loop, as a desktop's modal loop does, and no
// press or tick can reach the game beside it.
// The program's bytes stand in the page itself: compiled asynchronously, they ask nothing of the
// network.
Module['wasmBinary'] = (function () {
  const text = document.getElementById('zintu-program').textContent;
  return Uint8Array['fromBase64'] ? Uint8Array['fromBase64'](text) :
    Uint8Array.from(atob(text), function (character) { return character.charCodeAt(0); });
})();

var ZintuPage = (function () {
  'use strict';

  const EVENT = { down: 0, up: 1, pressed: 2, close: 3, boxClosed: 4, rescale: 5 };
  const LEFT = 0;

  // The label's embedded font is decoded while the program compiles, not after.
  document.fonts.forEach(function (face) {
    face.load().catch(function () {});
  });

  const queue = [];
  const forms = new Map();
  const presses = new Map();
  let wake = null;
  let timer = null;
  let ended = false;
  let listening = false;
  let boxShowing = false;
  let measuring = null;
  let nextFormId = 1;

  function byId(id) {
    return document.getElementById(id);
  }

  // `left`: the left button; `overPad`: a release with the pointer over the pad.
  function post(kind, form, pad, left, overPad) {
    if (ended) {
      return;
    }
    noteBoxClosed();
    queue.push({ kind: kind, form: form, pad: pad, left: !!left, overPad: !!overPad });
    resume();
  }

  // The dialog's close event comes a task after it has closed: input in between is input after
  // the box, and must be queued after its closing.
  function noteBoxClosed() {
    if (boxShowing && !byId('zintu-box').open) {
      boxShowing = false;
      queue.push({ kind: EVENT.boxClosed, form: 0, pad: 0 });
    }
  }

  function resume() {
    if (wake) {
      const waiting = wake;
      wake = null;
      waiting();
    }
  }

  // A dedicated worker's timer: browsers throttle a hidden page's own timers to a second or
  // more, and the playback must keep its beat when the tab is in the background.
  function startTimer() {
    if (timer) {
      timer.terminate();
    }
    const source = 'let t;onmessage=function(e){clearTimeout(t);if(e.data>=0)' +
      't=setTimeout(function(){postMessage(0)},e.data)}';
    const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    timer = new Worker(url);
    URL.revokeObjectURL(url);
    timer.onmessage = resume;
  }

  function padOf(target) {
    const element = target instanceof Element ? target.closest('.pad') : null;
    return element && element.zintuForm ? element : null;
  }

  function inside(element, event) {
    const box = element.getBoundingClientRect();
    return event.clientX >= box.left && event.clientX < box.right &&
      event.clientY >= box.top && event.clientY < box.bottom;
  }

  // A press goes to the pad under it and stays with that pad, wherever it is released.
  function pointerDown(event) {
    event.preventDefault();
    const pad = padOf(event.target);
    if (!pad || presses.has(event.pointerId)) {
      return;
    }
    pad.setPointerCapture(event.pointerId);
    presses.set(event.pointerId, pad);
    post(EVENT.down, pad.zintuForm, pad.zintuIndex, event.button === LEFT);
  }

  // Another button pressed or released while the first is held.
  function pointerMove(event) {
    const pad = presses.get(event.pointerId);
    if (!pad || event.button < 0) {
      return;
    }
    const kind = event.buttons & pressedBit(event.button) ? EVENT.down : EVENT.up;
    post(kind, pad.zintuForm, pad.zintuIndex, event.button === LEFT, inside(pad, event));
  }

  // PointerEvent.buttons numbers the middle and right buttons the other way round.
  function pressedBit(button) {
    return [1, 4, 2, 8, 16][button] || 0;
  }

  function pointerUp(event) {
    const pad = presses.get(event.pointerId);
    if (!pad) {
      return;
    }
    presses.delete(event.pointerId);
    // A cancelled press was taken away: a release off the pad.
    post(EVENT.up, pad.zintuForm, pad.zintuIndex, event.button === LEFT,
      event.type === 'pointerup' && inside(pad, event));
  }

  // A click with no pointer behind it is assistive technology's press action: the pads take no
  // focus, so no key can activate them.
  function click(event) {
    event.preventDefault();
    const pad = padOf(event.target);
    if (pad && event.detail === 0) {
      post(EVENT.pressed, pad.zintuForm, pad.zintuIndex);
    }
  }

  function refuse(event) {
    event.preventDefault();
  }

  function listen(client) {
    client.addEventListener('pointerdown', pointerDown);
    client.addEventListener('pointermove', pointerMove);
    client.addEventListener('pointerup', pointerUp);
    client.addEventListener('pointercancel', pointerUp);
    client.addEventListener('click', click);
    for (const kind of ['mousedown', 'contextmenu', 'dragstart', 'selectstart', 'dblclick',
      'keydown']) {
      client.addEventListener(kind, refuse);
    }
  }

  function form(id) {
    return forms.get(id);
  }

  // The game's colours keep red in the low byte.
  function cssColour(colour) {
    return 'rgb(' + (colour & 255) + ' ' + (colour >> 8 & 255) + ' ' + (colour >> 16 & 255) + ')';
  }

  // Places are given in the screen's own pixels, so that every edge falls on one.
  function place(element, x, y, width, height) {
    const ratio = window.devicePixelRatio;
    element.style.left = x / ratio + 'px';
    element.style.top = y / ratio + 'px';
    element.style.width = width / ratio + 'px';
    element.style.height = height / ratio + 'px';
  }

  // The window is centred in the page; nudged so that its client area starts on a screen pixel.
  // Moved in the layout, not by a transform, which would have the browser resample it.
  function snapWindow() {
    const frame = byId('zintu-window');
    frame.style.left = '0';
    frame.style.top = '0';
    const ratio = window.devicePixelRatio;
    const box = byId('zintu-client').getBoundingClientRect();
    const offset = function (at) {
      return (Math.round(at * ratio) - at * ratio) / ratio + 'px';
    };
    frame.style.left = offset(box.left);
    frame.style.top = offset(box.top);
  }

  // Zooming the page or moving it to a screen of another resolution changes the ratio.
  function watchResolution() {
    const query = matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)');
    query.addEventListener('change', function () {
      watchResolution();
      post(EVENT.rescale, 0, 0);
    }, { once: true });
  }

  return {
    EVENT: EVENT,

    // Also starts a new run on a page whose last one ended, as the tests do.
    open: function (windowCaption, boxCaption, background) {
      document.title = windowCaption;
      const frame = byId('zintu-window');
      frame.setAttribute('aria-label', windowCaption);
      frame.querySelector('.caption span').textContent = windowCaption;
      byId('zintu-box-caption').firstElementChild.textContent = boxCaption;
      const client = byId('zintu-client');
      client.style.backgroundColor = cssColour(background);
      byId('zintu-ended').hidden = true;
      ended = false;
      boxShowing = false;
      queue.length = 0;
      startTimer();
      if (!listening) {
        listening = true;
        listen(client);
        watchResolution();
        window.addEventListener('resize', snapWindow);
        byId('zintu-close').addEventListener('click', function () {
          post(EVENT.close, 0, 0);
        });
        const box = byId('zintu-box');
        box.addEventListener('close', function () {
          noteBoxClosed();
          resume();
        });
        box.addEventListener('contextmenu', refuse);
        // A click on the page behind the box takes the focus from its OK button; give it back, so
        // that Return, Space and Escape still answer it.
        document.addEventListener('pointerup', function () {
          if (box.open) {
            box.querySelector('button').focus();
          }
        });
      }
    },

    pixelRatio: function () {
      return window.devicePixelRatio;
    },

    sizeClient: function (width, height) {
      const client = byId('zintu-client');
      client.style.width = width / window.devicePixelRatio + 'px';
      client.style.height = height / window.devicePixelRatio + 'px';
      snapWindow();
    },

    loadFont: function (font) {
      return document.fonts.load(font).catch(function () {});
    },

    textWidth: function (font, text) {
      measuring = measuring || document.createElement('canvas').getContext('2d');
      measuring.font = font;
      return measuring.measureText(text).width;
    },

    buildForm: function (labelFont, labelColour) {
      const id = nextFormId++;
      const element = byId('zintu-form-template').content.firstElementChild.cloneNode(true);
      const label = element.querySelector('.label');
      label.style.font = labelFont;
      label.style.color = cssColour(labelColour);
      const first = element.querySelector('.pad');
      first.zintuForm = id;
      first.zintuIndex = 0;
      byId('zintu-client').appendChild(element);
      forms.set(id, { element: element, label: label, pads: [first] });
      return id;
    },

    destroyForm: function (id) {
      form(id).element.remove();
      forms.delete(id);
    },

    loadPad: function (id, pad) {
      const record = form(id);
      const copy = record.pads[0].cloneNode(true);
      copy.zintuForm = id;
      copy.zintuIndex = pad;
      copy.hidden = true;
      record.pads[pad] = copy;
      record.element.appendChild(copy);
    },

    setPad: function (id, pad, name, colour, lit, enabled, visible) {
      const element = form(id).pads[pad];
      element.style.backgroundColor = cssColour(colour);
      element.setAttribute('aria-label', name);
      element.setAttribute('aria-pressed', lit ? 'true' : 'false');
      element.setAttribute('aria-disabled', enabled ? 'false' : 'true');
      element.hidden = !visible;
    },

    placePad: function (id, pad, x, y, width, height) {
      place(form(id).pads[pad], x, y, width, height);
    },

    placeLabel: function (id, x, y, width, height) {
      place(form(id).label, x, y, width, height);
    },

    setLabel: function (id, text) {
      form(id).label.textContent = text;
    },

    setFormShown: function (id, shown) {
      form(id).element.hidden = !shown;
    },

    setWindowShown: function (shown) {
      byId('zintu-window').hidden = !shown;
      if (shown) {
        snapWindow();
      }
    },

    // Over the game window the box belongs to it; with no window on the page it stands alone.
    showBox: function (text, overWindow) {
      const box = byId('zintu-box');
      byId('zintu-box-text').textContent = text;
      (overWindow ? byId('zintu-window') : document.body).appendChild(box);
      box.showModal();
      boxShowing = true;
      box.querySelector('button').focus();
    },

    // Resolves when input is queued, or at `deadline` on the page's clock.
    wait: function (deadline) {
      if (queue.length > 0) {
        return Promise.resolve();
      }
      if (ended) {
        return new Promise(function (resolve) {
          if (deadline !== Infinity) {
            setTimeout(resolve, Math.max(0, deadline - performance.now()));
          }
        });
      }
      return new Promise(function (resolve) {
        wake = resolve;
        if (deadline !== Infinity) {
          timer.postMessage(Math.max(0, Math.ceil(deadline - performance.now())));
        }
      }).then(function () {
        if (timer) {
          timer.postMessage(-1);
        }
      });
    },

    take: function () {
      return queue.shift();
    },

    end: function () {
      ended = true;
      queue.length = 0;
      timer.terminate();
      timer = null;
      byId('zintu-window').hidden = true;
      byId('zintu-ended').hidden = false;
    },
  };
})();
