// The page's side of the web toolkit, as the C++ calls it: the DOM the game is drawn in, the
// input it takes, and the timer it waits on. Nothing here calls into the game. Input is queued,
// and the game's one loop takes it whenever it waits: so a box holds that loop, as a desktop's
// modal loop does, and no press or tick can reach the game beside it.
mergeInto(LibraryManager.library, {
  // What the page's functions share: the input queue, the forms, the timer the loop waits on,
  // and how input becomes events.
  $zintuPage__postset: 'zintuPage.start();',
  $zintuPage: {
    EVENT: { down: 0, up: 1, pressed: 2, close: 3, boxClosed: 4, rescale: 5 },
    LEFT: 0,

    start: function () {
      zintuPage.queue = [];
      zintuPage.forms = new Map();
      zintuPage.presses = new Map();
      zintuPage.nextFormId = 1;
      zintuPage.wake = null;
      zintuPage.ended = false;
      zintuPage.boxShowing = false;
    },

    byId: function (id) {
      return document.getElementById(id);
    },

    // `left`: the left button; `overPad`: a release with the pointer over the pad.
    post: function (kind, form, pad, left, overPad) {
      if (zintuPage.ended) {
        return;
      }
      zintuPage.noteBoxClosed();
      zintuPage.queue.push({ kind: kind, form: form, pad: pad, left: !!left,
        overPad: !!overPad });
      zintuPage.resume();
    },

    // The dialog's close event comes a task after it has closed: input in between is input
    // after the box, and must be queued after its closing.
    noteBoxClosed: function () {
      if (zintuPage.boxShowing && !zintuPage.byId('zintu-box').open) {
        zintuPage.boxShowing = false;
        zintuPage.queue.push({ kind: zintuPage.EVENT.boxClosed, form: 0, pad: 0 });
      }
    },

    resume: function () {
      if (zintuPage.wake) {
        const waiting = zintuPage.wake;
        zintuPage.wake = null;
        waiting();
      }
    },

    // A dedicated worker's timer: browsers throttle a hidden page's own timers to a second or
    // more, and the playback must keep its beat when the tab is in the background.
    startTimer: function () {
      if (zintuPage.timer) {
        zintuPage.timer.terminate();
      }
      const source = 'let t;onmessage=function(e){clearTimeout(t);if(e.data>=0)' +
        't=setTimeout(function(){postMessage(0)},e.data)}';
      const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
      zintuPage.timer = new Worker(url);
      URL.revokeObjectURL(url);
      zintuPage.timer.onmessage = zintuPage.resume;
    },

    padOf: function (target) {
      const element = target instanceof Element ? target.closest('.pad') : null;
      return element && element.zintuForm ? element : null;
    },

    inside: function (element, event) {
      const box = element.getBoundingClientRect();
      return event.clientX >= box.left && event.clientX < box.right &&
        event.clientY >= box.top && event.clientY < box.bottom;
    },

    // A press goes to the pad under it and stays with that pad, wherever it is released.
    pointerDown: function (event) {
      event.preventDefault();
      const pad = zintuPage.padOf(event.target);
      if (!pad || zintuPage.presses.has(event.pointerId)) {
        return;
      }
      pad.setPointerCapture(event.pointerId);
      zintuPage.presses.set(event.pointerId, pad);
      zintuPage.post(zintuPage.EVENT.down, pad.zintuForm, pad.zintuIndex,
        event.button === zintuPage.LEFT);
    },

    // Another button pressed or released while the first is held.
    pointerMove: function (event) {
      const pad = zintuPage.presses.get(event.pointerId);
      if (!pad || event.button < 0) {
        return;
      }
      const kind = event.buttons & zintuPage.pressedBit(event.button) ? zintuPage.EVENT.down :
        zintuPage.EVENT.up;
      zintuPage.post(kind, pad.zintuForm, pad.zintuIndex, event.button === zintuPage.LEFT,
        zintuPage.inside(pad, event));
    },

    // PointerEvent.buttons numbers the middle and right buttons the other way round.
    pressedBit: function (button) {
      return [1, 4, 2, 8, 16][button] || 0;
    },

    pointerUp: function (event) {
      const pad = zintuPage.presses.get(event.pointerId);
      if (!pad) {
        return;
      }
      zintuPage.presses.delete(event.pointerId);
      // A cancelled press, or one whose capture was lost, was taken away: a release off the pad.
      zintuPage.post(zintuPage.EVENT.up, pad.zintuForm, pad.zintuIndex,
        event.button === zintuPage.LEFT,
        event.type === 'pointerup' && zintuPage.inside(pad, event));
    },

    // A click with no pointer behind it is assistive technology's press action: the pads take
    // no focus, so no key can activate them.
    click: function (event) {
      event.preventDefault();
      const pad = zintuPage.padOf(event.target);
      if (pad && event.detail === 0) {
        zintuPage.post(zintuPage.EVENT.pressed, pad.zintuForm, pad.zintuIndex);
      }
    },

    refuse: function (event) {
      event.preventDefault();
    },

    // Each listener is one of these functions, which the browser adds only once however often
    // the page is opened.
    listen: function (client) {
      client.addEventListener('pointerdown', zintuPage.pointerDown);
      client.addEventListener('pointermove', zintuPage.pointerMove);
      client.addEventListener('pointerup', zintuPage.pointerUp);
      client.addEventListener('pointercancel', zintuPage.pointerUp);
      // Taken away by the browser, for whatever reason, with the press still held.
      client.addEventListener('lostpointercapture', zintuPage.pointerUp);
      client.addEventListener('click', zintuPage.click);
      for (const kind of ['mousedown', 'contextmenu', 'dragstart', 'selectstart', 'dblclick',
        'keydown']) {
        client.addEventListener(kind, zintuPage.refuse);
      }
      zintuPage.watchResolution();
      window.addEventListener('resize', zintuPage.snapWindow);
      zintuPage.byId('zintu-close').addEventListener('click', zintuPage.closeClicked);
      const box = zintuPage.byId('zintu-box');
      box.addEventListener('close', zintuPage.boxClosed);
      box.addEventListener('contextmenu', zintuPage.refuse);
      document.addEventListener('pointerup', zintuPage.refocusBox);
    },

    closeClicked: function () {
      zintuPage.post(zintuPage.EVENT.close, 0, 0);
    },

    boxClosed: function () {
      zintuPage.noteBoxClosed();
      zintuPage.resume();
    },

    // A click on the page behind the box takes the focus from its OK button; give it back, so
    // that Return, Space and Escape still answer it.
    refocusBox: function () {
      const box = zintuPage.byId('zintu-box');
      if (box.open) {
        box.querySelector('button').focus();
      }
    },

    // The game's colours keep red in the low byte.
    cssColour: function (colour) {
      return 'rgb(' + (colour & 255) + ' ' + (colour >> 8 & 255) + ' ' + (colour >> 16 & 255) +
        ')';
    },

    // Places are given in the screen's own pixels, so that every edge falls on one.
    place: function (element, x, y, width, height) {
      const ratio = window.devicePixelRatio;
      element.style.left = x / ratio + 'px';
      element.style.top = y / ratio + 'px';
      element.style.width = width / ratio + 'px';
      element.style.height = height / ratio + 'px';
    },

    // The window is centred in the page; nudged so that its client area starts on a screen
    // pixel. Moved in the layout, not by a transform, which would have the browser resample it.
    snapWindow: function () {
      const frame = zintuPage.byId('zintu-window');
      frame.style.left = '0';
      frame.style.top = '0';
      const ratio = window.devicePixelRatio;
      const box = zintuPage.byId('zintu-client').getBoundingClientRect();
      const offset = function (at) {
        return (Math.round(at * ratio) - at * ratio) / ratio + 'px';
      };
      frame.style.left = offset(box.left);
      frame.style.top = offset(box.top);
    },

    // Zooming the page or moving it to a screen of another resolution changes the ratio. One
    // watch at a time: a new one replaces the last.
    watchResolution: function () {
      if (zintuPage.resolution) {
        zintuPage.resolution.onchange = null;
      }
      zintuPage.resolution = matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)');
      zintuPage.resolution.onchange = function () {
        zintuPage.watchResolution();
        zintuPage.post(zintuPage.EVENT.rescale, 0, 0);
      };
    },

    // Resolves when input is queued, or at `deadline` on the page's clock.
    wait: function (deadline) {
      if (zintuPage.queue.length > 0) {
        return Promise.resolve();
      }
      if (zintuPage.ended) {
        return new Promise(function (resolve) {
          if (deadline !== Infinity) {
            setTimeout(resolve, Math.max(0, deadline - performance.now()));
          }
        });
      }
      return new Promise(function (resolve) {
        zintuPage.wake = resolve;
        if (deadline !== Infinity) {
          zintuPage.timer.postMessage(Math.max(0, Math.ceil(deadline - performance.now())));
        }
      }).then(function () {
        if (zintuPage.timer) {
          zintuPage.timer.postMessage(-1);
        }
      });
    },
  },

  // Takes the page's input from now on, and writes the window's and the box's captions.
  zintu_open__deps: ['$zintuPage'],
  zintu_open: function (windowCaption, boxCaption, background) {
    windowCaption = UTF8ToString(windowCaption);
    document.title = windowCaption;
    const frame = zintuPage.byId('zintu-window');
    frame.setAttribute('aria-label', windowCaption);
    frame.querySelector('.caption h1').textContent = windowCaption;
    zintuPage.byId('zintu-box-caption').firstElementChild.textContent = UTF8ToString(boxCaption);
    const client = zintuPage.byId('zintu-client');
    client.style.backgroundColor = zintuPage.cssColour(background);
    zintuPage.startTimer();
    zintuPage.listen(client);
  },

  zintu_pixel_ratio: function () {
    return window.devicePixelRatio;
  },

  zintu_size_client__deps: ['$zintuPage'],
  zintu_size_client: function (width, height) {
    const client = zintuPage.byId('zintu-client');
    client.style.width = width / window.devicePixelRatio + 'px';
    client.style.height = height / window.devicePixelRatio + 'px';
    zintuPage.snapWindow();
  },

  // Until the label's fonts are loaded, or known to be missing; it answers the C++ nothing.
  zintu_load_font: function (font) {
    return Asyncify.handleAsync(function () {
      return document.fonts.load(UTF8ToString(font)).then(function () {}, function () {});
    });
  },

  zintu_text_width__deps: ['$zintuPage'],
  zintu_text_width: function (font, text) {
    zintuPage.measuring = zintuPage.measuring || document.createElement('canvas').getContext('2d');
    zintuPage.measuring.font = UTF8ToString(font);
    return zintuPage.measuring.measureText(UTF8ToString(text)).width;
  },

  zintu_build_form__deps: ['$zintuPage'],
  zintu_build_form: function (labelFont, labelColour) {
    const id = zintuPage.nextFormId++;
    const template = zintuPage.byId('zintu-form-template');
    const element = template.content.firstElementChild.cloneNode(true);
    const label = element.querySelector('.label');
    label.style.font = UTF8ToString(labelFont);
    label.style.color = zintuPage.cssColour(labelColour);
    const first = element.querySelector('.pad');
    first.zintuForm = id;
    first.zintuIndex = 0;
    zintuPage.byId('zintu-client').appendChild(element);
    zintuPage.forms.set(id, { element: element, label: label, pads: [first] });
    return id;
  },

  zintu_destroy_form__deps: ['$zintuPage'],
  zintu_destroy_form: function (id) {
    zintuPage.forms.get(id).element.remove();
    zintuPage.forms.delete(id);
    // A press held on one of its pads would wait for a release that no pad of it can take.
    zintuPage.presses.forEach(function (pad, pointer) {
      if (pad.zintuForm === id) {
        zintuPage.presses.delete(pointer);
      }
    });
  },

  zintu_load_pad__deps: ['$zintuPage'],
  zintu_load_pad: function (id, pad) {
    const form = zintuPage.forms.get(id);
    const copy = form.pads[0].cloneNode(true);
    copy.zintuForm = id;
    copy.zintuIndex = pad;
    copy.hidden = true;
    form.pads[pad] = copy;
    form.element.appendChild(copy);
  },

  zintu_set_pad__deps: ['$zintuPage'],
  zintu_set_pad: function (id, pad, name, colour, lit, enabled, visible) {
    const element = zintuPage.forms.get(id).pads[pad];
    element.style.backgroundColor = zintuPage.cssColour(colour);
    element.setAttribute('aria-label', UTF8ToString(name));
    element.setAttribute('aria-pressed', lit ? 'true' : 'false');
    element.setAttribute('aria-disabled', enabled ? 'false' : 'true');
    element.hidden = !visible;
  },

  zintu_place_pad__deps: ['$zintuPage'],
  zintu_place_pad: function (id, pad, x, y, width, height) {
    zintuPage.place(zintuPage.forms.get(id).pads[pad], x, y, width, height);
  },

  zintu_place_label__deps: ['$zintuPage'],
  zintu_place_label: function (id, x, y, width, height) {
    zintuPage.place(zintuPage.forms.get(id).label, x, y, width, height);
  },

  zintu_set_label__deps: ['$zintuPage'],
  zintu_set_label: function (id, text) {
    zintuPage.forms.get(id).label.textContent = UTF8ToString(text);
  },

  zintu_set_form_shown__deps: ['$zintuPage'],
  zintu_set_form_shown: function (id, shown) {
    zintuPage.forms.get(id).element.hidden = !shown;
  },

  zintu_set_window_shown__deps: ['$zintuPage'],
  zintu_set_window_shown: function (shown) {
    zintuPage.byId('zintu-window').hidden = !shown;
    if (shown) {
      zintuPage.snapWindow();
    }
  },

  // Over the game window the box belongs to it; with no window on the page it stands alone.
  zintu_show_box__deps: ['$zintuPage'],
  zintu_show_box: function (text, overWindow) {
    const box = zintuPage.byId('zintu-box');
    zintuPage.byId('zintu-box-text').textContent = UTF8ToString(text);
    (overWindow ? zintuPage.byId('zintu-window') : document.querySelector('main')).appendChild(box);
    box.showModal();
    zintuPage.boxShowing = true;
    box.querySelector('button').focus();
  },

  // Until input is queued, or the page's clock reaches `deadline`.
  zintu_wait__deps: ['$zintuPage'],
  zintu_wait: function (deadline) {
    return Asyncify.handleAsync(function () {
      return zintuPage.wait(deadline);
    });
  },

  // Writes the next event into the C++ event, its fields one int each; 0 when there is none.
  zintu_take__deps: ['$zintuPage'],
  zintu_take: function (event) {
    const next = zintuPage.queue.shift();
    if (!next) {
      return 0;
    }
    const at = event >> 2;
    HEAP32[at] = next.kind;
    HEAP32[at + 1] = next.form;
    HEAP32[at + 2] = next.pad;
    HEAP32[at + 3] = next.left ? 1 : 0;
    HEAP32[at + 4] = next.overPad ? 1 : 0;
    return 1;
  },

  // Nothing more reaches the game, and the page says the game has ended.
  zintu_end__deps: ['$zintuPage'],
  zintu_end: function () {
    zintuPage.ended = true;
    zintuPage.queue = [];
    zintuPage.timer.terminate();
    zintuPage.timer = null;
    zintuPage.byId('zintu-window').hidden = true;
    zintuPage.byId('zintu-ended').hidden = false;
  },
});
