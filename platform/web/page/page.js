// The page's side of TREVA's windows: it makes the elements a window's
// template asks for, reads them back, and hands the player's input to the
// program. What a window does is the program's; nothing here decides it.
'use strict';

var TrevaPage = (function() {
  var FONT = '"Liberation Sans", Arial, Helvetica, sans-serif';
  var CLOSED_LIST_HEIGHT = 12;
  var EDIT_CAPACITY = 32767;
  var KIND = { push: 0, defaultPush: 1, check: 2, radio: 3, list: 4, edit: 5, text: 6, picture: 7, listBox: 8, chart: 9 };
  var STYLE = { centred: 1, sunken: 2, border: 4 };
  var ROW_HEIGHT = 18;

  var windows = {};
  var depth = 0;     // > 0 while the program runs: its own focus changes are no input
  var zTop = 10;
  var active = 0;
  var placed = 0;
  var leftAt = {}; // template -> where the player left its window
  var modalWaits = {};
  var fileHandles = {};
  var filesShown = {};
  var storageTold = false;
  var driveMode = /[?&]drive\b/.test(location.search);

  function el(tag, cls, text) {
    var e = document.createElement(tag);
    if (cls) e.className = cls;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  // Calls into the program; a C++ exception there must not leave the page
  // thinking the program is still running.
  function call(name) {
    var args = Array.prototype.slice.call(arguments, 1);
    depth++;
    try {
      return Module['_' + name].apply(null, args);
    } finally {
      depth--;
    }
  }

  // "&Roll": R is the mnemonic, shown underlined; "&&" is an ampersand.
  function setMnemonicText(target, text) {
    target.textContent = '';
    var plain = '';
    for (var i = 0; i < text.length; i++) {
      var ch = text[i];
      if (ch === '&' && i + 1 < text.length) {
        i++;
        if (text[i] !== '&') {
          if (plain) target.appendChild(document.createTextNode(plain));
          plain = '';
          target.appendChild(el('u', '', text[i]));
          continue;
        }
        ch = '&';
      }
      plain += ch;
    }
    if (plain) target.appendChild(document.createTextNode(plain));
  }
  function mnemonicText(target) {
    var text = '';
    target.childNodes.forEach(function(node) {
      if (node.nodeType === 3) text += node.data.replace(/&/g, '&&');
      else if (node.tagName === 'U') text += '&' + node.textContent;
    });
    return text;
  }
  function shownLines(text) { return text.replace(/\r\n/g, '\n').replace(/\r/g, '\n'); }

  // Dialog units in CSS pixels, from the dialog font as a desktop derives
  // them: a quarter of its average letter width, an eighth of its height.
  var unitsOfSize = {};
  function dialogUnits(pointSize) {
    var px = Math.round(pointSize * 4 / 3);
    if (unitsOfSize[px]) return unitsOfSize[px];
    var ctx = document.createElement('canvas').getContext('2d');
    ctx.font = px + 'px ' + FONT;
    var m = ctx.measureText('ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz');
    var height = m.fontBoundingBoxAscent + m.fontBoundingBoxDescent;
    if (!(height > 0)) height = px * 1.15;
    var line = Math.ceil(height);
    var units = { px: px, line: line, x: Math.round(m.width / 52) / 4, y: line / 8 };
    unitsOfSize[px] = units;
    return units;
  }
  function control(w, c) {
    var x = windows[w];
    return x ? x.controls[c] || null : null;
  }

  // ---- the frame ----------------------------------------------------------
  var shortcuts = {};
  function closeMenus() {
    document.querySelectorAll('#menubar [role=menu]').forEach(function(m) { m.hidden = true; });
    document.querySelectorAll('#menubar .menu-title').forEach(function(b) { b.setAttribute('aria-expanded', 'false'); });
  }
  function frameCommand(command) {
    closeMenus();
    call('webFrameCommand', command);
  }
  function buildFrame(menu, strip) {
    var bar = document.getElementById('menubar');
    bar.textContent = '';
    menu.forEach(function(popup) {
      var name = popup.title.replace(/&/g, '');
      var holder = el('div', 'menu');
      var title = el('button', 'menu-title');
      title.type = 'button';
      setMnemonicText(title, popup.title);
      title.dataset.menu = name;
      title.setAttribute('aria-haspopup', 'menu');
      title.setAttribute('aria-expanded', 'false');
      var list = el('div', 'menu-items');
      list.setAttribute('role', 'menu');
      list.dataset.menu = name;
      list.hidden = true;
      popup.items.forEach(function(item) {
        if (!item) {
          list.appendChild(el('hr')).setAttribute('role', 'separator');
          return;
        }
        var b = el('button', 'menu-item');
        b.type = 'button';
        b.setAttribute('role', 'menuitem');
        b.dataset.command = item.command;
        var label = el('span', 'label');
        setMnemonicText(label, item.text.split('\t')[0]);
        b.appendChild(label);
        if (item.shortcut) {
          b.appendChild(el('span', 'shortcut', item.shortcut));
          b.setAttribute('aria-keyshortcuts', item.shortcut.replace('Ctrl', 'Control'));
          shortcuts[item.shortcut] = b;
        }
        b.disabled = item.grayed;
        b.addEventListener('click', function() { frameCommand(item.command); });
        list.appendChild(b);
      });
      title.addEventListener('click', function() {
        var open = list.hidden;
        closeMenus();
        list.hidden = !open;
        title.setAttribute('aria-expanded', String(open));
        if (open) {
          var first = list.querySelector('button:not([disabled])');
          if (first) first.focus();
        }
      });
      list.addEventListener('keydown', function(e) {
        var items = Array.prototype.slice.call(list.querySelectorAll('button:not([disabled])'));
        var at = items.indexOf(document.activeElement);
        if (e.key === 'ArrowDown') items[(at + 1) % items.length].focus();
        else if (e.key === 'ArrowUp') items[(at + items.length - 1) % items.length].focus();
        else if (e.key === 'Escape') { closeMenus(); title.focus(); }
        else return;
        e.preventDefault();
      });
      holder.appendChild(title);
      holder.appendChild(list);
      bar.appendChild(holder);
    });
    document.addEventListener('pointerdown', function(e) {
      if (!e.target.closest('#menubar')) closeMenus();
    });
    var toolbar = document.getElementById('strip');
    toolbar.textContent = '';
    strip.forEach(function(button) {
      var b = el('button', 'strip-button');
      b.type = 'button';
      b.dataset.command = button.command;
      b.setAttribute('aria-label', button.name);
      b.title = button.name;
      b.style.setProperty('--strip-x', (-48 * button.image) + 'px');
      b.addEventListener('click', function() { frameCommand(button.command); });
      toolbar.appendChild(b);
    });
    document.addEventListener('keydown', function(e) {
      var key = e.key.length === 1 ? e.key.toUpperCase() : e.key;
      var name = (e.ctrlKey ? 'Ctrl+' : '') + key;
      var item = shortcuts[name];
      if (e.altKey && !e.ctrlKey && key === 'O') item = document.querySelector('#menubar [data-command="40011"]');
      if (!item || item.disabled || document.querySelector('dialog[open]')) return;
      e.preventDefault();
      frameCommand(Number(item.dataset.command));
    });
  }

  // ---- windows ------------------------------------------------------------
  function createWindow(w, template, title, width, height, pointSize, modal, closeBox, owner) {
    var frame = el(modal ? 'dialog' : 'section', 'window' + (modal ? ' modal' : ''));
    frame.dataset.window = w;
    frame.dataset.template = template;
    frame.setAttribute('role', 'dialog');
    if (modal) frame.setAttribute('aria-modal', 'true');
    var bar = el('div', 'titlebar');
    var caption = el('span', 'title', title);
    caption.id = 'window-title-' + w;
    frame.setAttribute('aria-labelledby', caption.id);
    bar.appendChild(caption);
    if (closeBox) {
      var close = el('button', 'close', '\u00d7');
      close.type = 'button';
      close.setAttribute('aria-label', 'Close');
      close.addEventListener('click', function() { command(w, 2); });
      bar.appendChild(close);
    }
    var units = dialogUnits(pointSize);
    var client = el('div', 'client');
    client.style.width = width * units.x + 'px';
    client.style.height = height * units.y + 'px';
    client.style.fontSize = units.px + 'px';
    // A line of text as high as the font, as the templates were laid out for.
    client.style.setProperty('--line', units.line + 'px');
    frame.appendChild(bar);
    frame.appendChild(client);
    frame.hidden = true;
    windows[w] = { w: w, frame: frame, client: client, bar: bar, controls: {}, kinds: {}, modal: modal,
                   owner: owner, width: width * units.x, height: height * units.y, units: units };
    if (modal) {
      frame.tabIndex = -1; // it holds the focus until the program places it
      frame.addEventListener('cancel', function(e) {
        e.preventDefault(); // Escape: the box decides whether it ends
        command(w, 2);
      });
    } else {
      makeMovable(frame, bar);
    }
    frame.addEventListener('pointerdown', function() {
      if (active !== w && depth === 0) call('webClickActivate', w);
    }, true);
    frame.addEventListener('keydown', function(e) {
      if (e.key !== 'Enter' || e.target.tagName === 'BUTTON' || e.target.tagName === 'SELECT') return;
      var x = windows[w];
      var def = x && x.client.querySelector('button.default:not([disabled])');
      if (def) { e.preventDefault(); def.click(); }
    });
    (modal ? document.body : document.getElementById('desk')).appendChild(frame);
  }

  function command(w, id) {
    if (depth === 0) call('webCommand', w, id);
  }

  function place(target, units, x, y, width, height) {
    target.style.left = x * units.x + 'px';
    target.style.top = y * units.y + 'px';
    target.style.width = width * units.x + 'px';
    target.style.height = height * units.y + 'px';
    target.baseLeft = target.style.left;
    target.baseWidth = target.style.width;
    target.baseHeight = target.style.height;
  }

  function addControl(w, id, kind, caption, x, y, width, height, style, bitmap, group, focusable, right, bottom, name) {
    var win = windows[w];
    var input, box;
    switch (kind) {
    case KIND.push:
    case KIND.defaultPush:
      input = box = el('button', kind === KIND.defaultPush ? 'push default' : 'push');
      input.type = 'button';
      setMnemonicText(input, caption);
      input.addEventListener('click', function() { command(w, id); });
      break;
    case KIND.check:
    case KIND.radio:
      box = el('label', kind === KIND.check ? 'check' : 'radio');
      input = el('input');
      input.type = kind === KIND.check ? 'checkbox' : 'radio';
      if (kind === KIND.radio) input.name = 'w' + w + '-g' + group;
      var text = el('span', 'caption');
      setMnemonicText(text, caption);
      box.appendChild(input);
      box.appendChild(text);
      input.addEventListener('click', function() { command(w, id); });
      break;
    case KIND.list:
      input = box = el('select', 'list');
      height = CLOSED_LIST_HEIGHT;
      input.addEventListener('focus', function() { command(w, id); });
      input.addEventListener('change', function() { command(w, id); });
      break;
    case KIND.edit:
      input = box = el('input', 'edit');
      input.type = 'text';
      input.maxLength = EDIT_CAPACITY;
      input.spellcheck = false;
      input.autocomplete = 'off';
      input.value = caption;
      input.addEventListener('input', function() { command(w, id); });
      break;
    case KIND.picture:
      input = box = el('img', 'picture');
      input.alt = name;
      showPicture(input, bitmap);
      break;
    case KIND.listBox:
      input = box = makeListBox(w, id);
      break;
    case KIND.chart:
      input = box = el('div', 'chart');
      input.setAttribute('role', 'img');
      input.dataset.name = name;
      break;
    default:
      input = box = el('div', 'text');
      if (id >= 0) {
        input.textContent = shownLines(caption);
        // A result the player should hear when it changes, named by what it shows.
        input.setAttribute('role', 'status');
        input.setAttribute('aria-label', name);
      } else {
        setMnemonicText(input, shownLines(caption));
      }
    }
    box.classList.add('control');
    if (style & STYLE.centred) box.classList.add('centred');
    if (style & STYLE.sunken) box.classList.add('sunken');
    if (style & STYLE.border) box.classList.add('bordered');
    place(box, win.units, x, y, width, height);
    if (kind === KIND.text || kind === KIND.check || kind === KIND.radio) {
      box.roomWidth = (right - x) * win.units.x;
      box.roomHeight = (bottom - y) * win.units.y;
    }
    if (id >= 0) {
      input.dataset.control = id;
      win.controls[id] = input;
      win.kinds[id] = kind;
    }
    if (focusable) input.dataset.focusable = '1';
    if (kind === KIND.list || kind === KIND.edit || kind === KIND.listBox || kind === KIND.chart)
      input.setAttribute('aria-label', name);
    win.client.appendChild(box);
  }

  function showPicture(img, bitmap) {
    img.dataset.image = bitmap;
    if (!bitmap) {
      img.removeAttribute('src');
      img.removeAttribute('srcset');
      return;
    }
    img.src = 'pictures/' + bitmap + '.png';
    img.srcset = 'pictures/' + bitmap + '@2x.png 2x';
  }

  // Tool windows open one below another to the right of the last, within the
  // page; a window wider than the page is drawn smaller to fit.
  // Under a finger (a tablet) a window is drawn larger where the screen
  // has room for it, so that its buttons are big enough to touch.
  var touch = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
  function fit(win) {
    var room = document.documentElement.clientWidth - 8;
    var natural = win.width + 2;
    var scale = Math.min(room / natural, touch ? 1.3 : 1);
    if (touch && scale > 1) {
      var high = window.innerHeight - document.getElementById('frame').offsetHeight - 8;
      scale = Math.max(1, Math.min(scale, high / (win.height + 32)));
    }
    win.frame.style.transform = scale !== 1 ? 'scale(' + scale + ')' : '';
    // A box drawn larger stays centred over the page.
    win.frame.style.transformOrigin = win.modal && scale > 1 ? '50% 50%' : '';
    win.frame.dataset.scale = scale;
    return scale;
  }
  // A text that does not fit its area in the page's font takes the room
  // the template leaves free beside and under it. The boxes of a window are
  // measured together, so that the page is laid out twice, not twice a box.
  function fitTexts(boxes) {
    boxes = Array.prototype.filter.call(boxes, function(box) { return box.roomWidth && !box.hidden; });
    boxes.forEach(function(box) {
      box.style.width = box.baseWidth;
      box.style.height = box.baseHeight;
      box.style.left = box.baseLeft;
      // Its lines unbroken first: a line the room has width for stays one line.
      box.style.whiteSpace = 'pre';
    });
    // The text's own width, to the fraction of a pixel, and the box's edges.
    var naturals = boxes.map(function(box) {
      var range = document.createRange();
      range.selectNodeContents(box);
      var style = getComputedStyle(box);
      var natural = Math.ceil(range.getBoundingClientRect().width / (Number(box.closest('.window').dataset.scale) || 1)) +
        box.offsetWidth - box.clientWidth + parseFloat(style.paddingLeft) + parseFloat(style.paddingRight) + 1;
      return natural > box.offsetWidth ? natural : 0;
    });
    boxes.forEach(function(box, i) {
      var natural = naturals[i];
      if (natural) {
        var base = parseFloat(box.baseWidth);
        if (box.classList.contains('centred')) {
          // A centred text grows to both sides alike, a little.
          var wider = Math.min(natural, base * 1.5);
          box.style.width = wider + 'px';
          box.style.left = parseFloat(box.baseLeft) - (wider - base) / 2 + 'px';
        } else {
          box.style.width = Math.min(natural, box.roomWidth) + 'px';
        }
      }
    });
    boxes.forEach(function(box) { box.style.whiteSpace = ''; });
    var heights = boxes.map(function(box) { return box.scrollHeight > box.clientHeight ? box.scrollHeight : 0; });
    boxes.forEach(function(box, i) {
      if (heights[i]) box.style.height = Math.min(heights[i] + 1, box.roomHeight) + 'px';
    });
  }
  function showWindow(w) {
    var win = windows[w];
    win.frame.hidden = false;
    var scale = fit(win);
    requestAnimationFrame(firstWindowShown);
    if (win.modal) {
      win.frame.showModal(); // a dialog has no layout until it is shown
      // The browser puts the focus on the box's first control; the program
      // places it by the window's own rules instead.
      win.frame.focus({ preventScroll: true });
      fitTexts(win.client.querySelectorAll('.control'));
      return;
    }
    fitTexts(win.client.querySelectorAll('.control'));
    var desk = document.getElementById('desk');
    var room = desk.clientWidth;
    var width = (win.width + 2) * scale;
    // A window opens where the player last left one of its kind, else a
    // little below and right of the last one opened.
    var left = leftAt[win.frame.dataset.template];
    var x = left ? left.x : 4 + (placed % 5) * 24, y = left ? left.y : 4 + (placed % 5) * 24;
    if (!left) placed++;
    if (x + width > room) x = Math.max(0, room - width);
    win.frame.style.left = x + 'px';
    win.frame.style.top = y + 'px';
  }
  function makeMovable(frame, bar) {
    bar.addEventListener('pointerdown', function(e) {
      if (e.target.closest('button')) return;
      var startX = e.clientX, startY = e.clientY;
      var left = frame.offsetLeft, top = frame.offsetTop;
      bar.setPointerCapture(e.pointerId);
      function move(m) {
        var desk = document.getElementById('desk');
        var x = Math.min(Math.max(left + m.clientX - startX, -frame.offsetWidth + 60), desk.clientWidth - 60);
        var y = Math.max(top + m.clientY - startY, 0);
        frame.style.left = x + 'px';
        frame.style.top = y + 'px';
      }
      function up() {
        bar.removeEventListener('pointermove', move);
        bar.removeEventListener('pointerup', up);
        bar.removeEventListener('pointercancel', up);
      }
      bar.addEventListener('pointermove', move);
      bar.addEventListener('pointerup', up);
      bar.addEventListener('pointercancel', up);
    });
  }
  function focusable(win) {
    return Array.prototype.slice.call(win.client.querySelectorAll('[data-focusable]')).filter(function(e) {
      return !e.disabled;
    });
  }
  // The first control the Tab key stops at. A radio group is one stop,
  // which its checked button takes.
  function firstStop(win) {
    var first = focusable(win)[0];
    if (first && first.type === 'radio' && !first.checked) {
      var checked = win.client.querySelector('input[type=radio][name="' + first.name + '"]:checked');
      if (checked && !checked.disabled) first = checked;
    }
    return first;
  }
  function focusFirst(w) {
    var win = windows[w];
    if (!win || win.frame.hidden) return -1;
    var inside = win.client.contains(document.activeElement);
    if (inside) return -1;
    var first = firstStop(win);
    if (!first) return -1;
    first.focus({ preventScroll: true });
    return first.dataset.control !== undefined ? Number(first.dataset.control) : -1;
  }
  function endWindow(w, keep) {
    var win = windows[w];
    if (!win) return;
    if (win.modal && win.frame.open) win.frame.close();
    if (!win.modal && !win.frame.hidden)
      leftAt[win.frame.dataset.template] = { x: win.frame.offsetLeft, y: win.frame.offsetTop };
    if (keep) {
      win.frame.hidden = true;
      win.frame.dataset.ended = '1';
    } else {
      win.frame.remove();
      delete windows[w];
    }
    var wait = modalWaits[w];
    if (wait) {
      delete modalWaits[w];
      wait(0);
    }
  }
  function activate(w) {
    document.querySelectorAll('.window.active').forEach(function(f) { f.classList.remove('active'); });
    active = w;
    var win = windows[w];
    if (!win) return;
    win.frame.classList.add('active');
    if (!win.modal) win.frame.style.zIndex = ++zTop;
    if (!win.frame.contains(document.activeElement)) {
      var target = win.lastFocus && win.frame.contains(win.lastFocus) ? win.lastFocus : firstStop(win);
      if (target) target.focus({ preventScroll: true });
    }
  }
  document.addEventListener('focusin', function(e) {
    var frame = e.target.closest && e.target.closest('.window');
    if (frame && windows[frame.dataset.window]) windows[frame.dataset.window].lastFocus = e.target;
  });

  // ---- controls -----------------------------------------------------------
  function setText(w, c, text) {
    var e = control(w, c);
    if (!e) return;
    var kind = windows[w].kinds[c];
    if (kind === KIND.edit) e.value = text;
    else if (kind === KIND.check || kind === KIND.radio) setMnemonicText(e.parentNode.querySelector('.caption'), text);
    else if (kind === KIND.push || kind === KIND.defaultPush) setMnemonicText(e, text);
    else if (kind === KIND.text) e.textContent = shownLines(text);
    fitTexts([e.closest('.control')]);
  }
  function text(w, c) {
    var e = control(w, c);
    if (!e) return '';
    var kind = windows[w].kinds[c];
    if (kind === KIND.edit) return e.value;
    if (kind === KIND.check || kind === KIND.radio) return mnemonicText(e.parentNode.querySelector('.caption'));
    if (kind === KIND.push || kind === KIND.defaultPush) return mnemonicText(e);
    if (kind === KIND.list) return e.selectedIndex >= 0 ? e.options[e.selectedIndex].text : '';
    if (kind === KIND.text) return e.textContent.replace(/\n/g, '\r');
    return '';
  }
  function setEnabled(w, c, enabled) {
    var e = control(w, c);
    if (!e) return;
    if ('disabled' in e && e.tagName !== 'DIV' && e.tagName !== 'IMG') e.disabled = !enabled;
    else if (enabled) e.removeAttribute('aria-disabled');
    else e.setAttribute('aria-disabled', 'true');
    var box = e.closest('.control');
    if (box) box.classList.toggle('disabled', !enabled);
  }
  function isEnabled(w, c) {
    var e = control(w, c);
    if (!e) return false;
    if ('disabled' in e && e.tagName !== 'DIV' && e.tagName !== 'IMG') return !e.disabled;
    return e.getAttribute('aria-disabled') !== 'true';
  }
  function addItem(w, c, item) {
    var e = control(w, c);
    if (!e || e.tagName !== 'SELECT') return;
    var option = el('option', '', item);
    option.value = String(e.options.length);
    e.appendChild(option);
    if (e.options.length === 1) e.selectedIndex = -1; // a new list shows nothing chosen
  }
  function setSelection(w, c, index) {
    var e = control(w, c);
    if (e && e.tagName === 'SELECT') e.selectedIndex = index >= 0 && index < e.options.length ? index : -1;
  }

  // ---- list boxes: only the rows in sight are made ----------------------
  function makeListBox(w, id) {
    var box = el('div', 'listbox');
    box.setAttribute('role', 'listbox');
    box.setAttribute('aria-multiselectable', 'true');
    box.tabIndex = 0;
    var inner = el('div', 'rows');
    box.appendChild(inner);
    box.listState = { count: 0, selected: new Set(), anchor: -1, cursor: -1 };
    box.addEventListener('scroll', function() { drawRows(w, id, box); });
    box.addEventListener('click', function(e) {
      var rowEl = e.target.closest('[role=option]');
      if (!rowEl) return;
      var r = Number(rowEl.dataset.row), s = box.listState;
      if (e.shiftKey && s.anchor >= 0) {
        if (!e.ctrlKey) s.selected.clear();
        for (var i = Math.min(s.anchor, r); i <= Math.max(s.anchor, r); i++) s.selected.add(i);
      } else if (e.ctrlKey || e.metaKey) {
        if (s.selected.has(r)) s.selected.delete(r); else s.selected.add(r);
        s.anchor = r;
      } else {
        s.selected.clear();
        s.selected.add(r);
        s.anchor = r;
      }
      s.cursor = r;
      drawRows(w, id, box);
    });
    box.addEventListener('keydown', function(e) {
      var s = box.listState;
      if (!s.count) return;
      var r = s.cursor;
      if (e.key === 'ArrowDown') r = Math.min(s.count - 1, r + 1);
      else if (e.key === 'ArrowUp') r = Math.max(0, r - 1);
      else if (e.key === 'Home') r = 0;
      else if (e.key === 'End') r = s.count - 1;
      else if (e.key === 'a' && (e.ctrlKey || e.metaKey)) {
        for (var i = 0; i < s.count; i++) s.selected.add(i);
        e.preventDefault();
        drawRows(w, id, box);
        return;
      } else return;
      e.preventDefault();
      s.cursor = r;
      if (!e.shiftKey) { s.selected.clear(); s.anchor = r; }
      s.selected.add(r);
      var top = r * ROW_HEIGHT;
      if (top < box.scrollTop) box.scrollTop = top;
      else if (top + ROW_HEIGHT > box.scrollTop + box.clientHeight) box.scrollTop = top + ROW_HEIGHT - box.clientHeight;
      drawRows(w, id, box);
    });
    return box;
  }
  function drawRows(w, id, box) {
    var s = box.listState, inner = box.firstChild;
    inner.style.height = s.count * ROW_HEIGHT + 'px';
    var first = Math.floor(box.scrollTop / ROW_HEIGHT);
    var last = Math.min(s.count, first + Math.ceil(box.clientHeight / ROW_HEIGHT) + 1);
    inner.textContent = '';
    for (var r = first; r < last; r++) {
      var row = el('div', 'row', UTF8ToString(call('webRow', w, id, r)));
      row.setAttribute('role', 'option');
      row.setAttribute('aria-selected', String(s.selected.has(r)));
      row.setAttribute('aria-setsize', s.count);
      row.setAttribute('aria-posinset', r + 1);
      row.dataset.row = r;
      row.style.top = r * ROW_HEIGHT + 'px';
      inner.appendChild(row);
    }
  }
  function setRows(w, c, count) {
    var box = control(w, c);
    if (!box || !box.listState) return;
    box.listState.count = count;
    box.listState.selected.clear();
    box.listState.anchor = box.listState.cursor = -1;
    box.scrollTop = 0;
    drawRows(w, c, box);
  }
  function selectedRows(w, c) {
    var box = control(w, c);
    if (!box || !box.listState) return [];
    return Array.from(box.listState.selected).sort(function(a, b) { return a - b; });
  }

  // ---- charts --------------------------------------------------------------
  function setChart(w, c, bars) {
    var chart = control(w, c);
    if (!chart) return;
    chart.textContent = '';
    var top = 1;
    bars.forEach(function(b) { top = Math.max(top, b.count, b.expected); });
    var said = [];
    bars.forEach(function(b) {
      var column = el('div', 'bar-column');
      var bar = el('div', 'bar');
      bar.style.height = (100 * b.count / top) + '%';
      var mark = el('div', 'expected');
      mark.style.bottom = (100 * b.expected / top) + '%';
      var area = el('div', 'bar-area');
      area.appendChild(bar);
      area.appendChild(mark);
      column.appendChild(el('div', 'bar-count', String(b.count)));
      column.appendChild(area);
      column.appendChild(el('div', 'bar-label', b.label));
      chart.appendChild(column);
      said.push(b.label + ': ' + b.count + ' (fair dice: ' + b.expected.toFixed(1) + ')');
    });
    chart.setAttribute('aria-label', chart.dataset.name + ': ' + said.join('; '));
  }

  function copyText(text) {
    if (navigator.clipboard && navigator.clipboard.writeText) {
      navigator.clipboard.writeText(text).catch(function() { copyByHand(text); });
    } else {
      copyByHand(text);
    }
  }
  function copyByHand(text) {
    var area = el('textarea');
    area.value = text;
    area.style.position = 'fixed';
    area.style.opacity = '0';
    document.body.appendChild(area);
    area.select();
    try { document.execCommand('copy'); } catch (e) { /* nothing more a page can do */ }
    area.remove();
  }

  // ---- the frame's caption and menu ----------------------------------------
  var caption = '', modified = false;
  function showCaption() {
    var shown = (modified ? '*' : '') + caption;
    document.getElementById('caption').textContent = shown;
    document.title = shown;
  }
  function setCaption(text) { caption = text; showCaption(); }
  function setModified(m) { modified = m; showCaption(); }
  function setMenuItemEnabled(command, enabled) {
    document.querySelectorAll('#menubar [data-command="' + command + '"]').forEach(function(b) { b.disabled = !enabled; });
  }
  function closeFrame() {
    document.getElementById('frame').hidden = true;
    document.getElementById('desk').hidden = true;
    document.getElementById('ended').hidden = false;
  }
  // The guide is served beside the page.
  function openDocument(path) {
    var opened = window.open(path.replace(/^\//, ''), '_blank');
    if (opened) opened.opener = null;
    return !!opened;
  }

  // ---- the page's own boxes ------------------------------------------------
  function messageBox(kind, title, textShown, buttons, extra) {
    return new Promise(function(resolve) {
      var box = el('dialog', 'message');
      box.dataset.kind = kind;
      var head = el('div', 'titlebar');
      head.appendChild(el('span', 'title', title));
      head.firstChild.id = 'message-title';
      box.setAttribute('aria-labelledby', 'message-title');
      box.appendChild(head);
      var body = el('div', 'message-body');
      body.appendChild(el('p', 'message-text', textShown));
      if (extra) body.appendChild(extra);
      var row = el('div', 'message-buttons');
      buttons.forEach(function(b) {
        var button = el('button', 'push', b.text);
        button.type = 'button';
        button.dataset.answer = b.answer;
        button.addEventListener('click', function() { finish(b.answer); });
        row.appendChild(button);
      });
      body.appendChild(row);
      box.appendChild(body);
      function finish(answer) {
        box.close();
        box.remove();
        resolve(answer);
      }
      box.addEventListener('cancel', function(e) {
        e.preventDefault();
        finish(buttons[buttons.length - 1].answer);
      });
      document.body.appendChild(box);
      box.showModal();
      var focus = extra ? extra : row.firstChild;
      focus.focus();
    });
  }
  function askSaveChanges(name) {
    return messageBox('save-changes', 'TREVA!', 'Save changes to ' + name + '?', [
      { text: 'Save', answer: 'save' }, { text: "Don't Save", answer: 'dont-save' }, { text: 'Cancel', answer: 'cancel' }
    ]).then(function(a) { return a === 'save' ? 0 : a === 'dont-save' ? 1 : 2; });
  }
  function showError(title, text) {
    return messageBox('error', title, text, [{ text: 'OK', answer: 'ok' }]);
  }

  // ---- files ------------------------------------------------------------
  // The player's files live in the program's folder under their own names;
  // what the program writes there goes back to the file the player chose,
  // or is handed over as a download.
  function putFile(name, bytes) {
    FS.writeFile(name, bytes);
    filesShown[name] = bytes;
  }
  function readChosen(files) {
    return Promise.all(Array.prototype.map.call(files, function(f) {
      return f.arrayBuffer().then(function(b) { return { name: f.name, bytes: new Uint8Array(b) }; });
    })).then(function(read) {
      var scenario = null;
      read.forEach(function(f) {
        putFile(f.name, f.bytes);
        if (!scenario || (/\.trv$/i.test(f.name) && !/\.trv$/i.test(scenario))) scenario = f.name;
      });
      return scenario;
    });
  }
  function askOpenPath() {
    if (window.showOpenFilePicker && !driveMode) {
      return window.showOpenFilePicker({ types: [{ description: 'TREVA scenarios', accept: { 'application/octet-stream': ['.trv'] } }] })
        .then(function(handles) {
          return handles[0].getFile().then(function(file) {
            fileHandles[file.name] = handles[0];
            return readChosen([file]);
          });
        }, function() { return null; });
    }
    return new Promise(function(resolve) {
      var input = el('input');
      input.type = 'file';
      input.accept = '.trv,.txt';
      input.multiple = true; // the scenario and, if the player wants, its roll history
      input.hidden = true;
      input.addEventListener('change', function() {
        input.remove();
        readChosen(input.files).then(resolve);
      });
      input.addEventListener('cancel', function() {
        input.remove();
        resolve(null);
      });
      document.body.appendChild(input);
      input.click();
    });
  }
  function askSavePath(proposed) {
    if (window.showSaveFilePicker && !driveMode) {
      return window.showSaveFilePicker({ suggestedName: proposed,
        types: [{ description: 'TREVA scenarios', accept: { 'application/octet-stream': ['.trv'] } }] })
        .then(function(handle) {
          fileHandles[handle.name] = handle;
          delete filesShown[handle.name];
          return handle.name;
        }, function() { return null; });
    }
    var name = el('input', 'edit');
    name.type = 'text';
    name.value = proposed;
    name.setAttribute('aria-label', 'File name');
    return messageBox('save-as', 'Save As', 'The scenario is saved as a download named:', [
      { text: 'Save', answer: 'save' }, { text: 'Cancel', answer: 'cancel' }
    ], name).then(function(answer) {
      var chosen = name.value.replace(/[\\/:*?"<>|]/g, '_').trim();
      if (answer !== 'save' || !chosen) return null;
      delete filesShown[chosen];
      return chosen;
    });
  }
  function sameBytes(a, b) {
    if (!a || !b || a.length !== b.length) return false;
    for (var i = 0; i < a.length; i++) if (a[i] !== b[i]) return false;
    return true;
  }
  var unreadable = {};
  function syncFile(path) {
    var bytes;
    try {
      bytes = FS.readFile(path);
      delete unreadable[path];
    } catch (e) {
      // No file yet is no fault (a scenario taken up from the browser's
      // storage is written when it is saved); a file the page cannot read
      // is, said once rather than after every click that follows.
      if (!unreadable[path] && FS.analyzePath(path).exists) {
        unreadable[path] = true;
        showError('Save', 'Could not save "' + path + '": the page cannot read what TREVA wrote. The scenario is still kept in this browser.');
      }
      return;
    }
    if (sameBytes(bytes, filesShown[path])) return;
    filesShown[path] = bytes;
    var handle = fileHandles[path];
    if (handle) {
      handle.createWritable().then(function(out) {
        return out.write(bytes).then(function() { return out.close(); });
      }).catch(function(e) {
        delete filesShown[path];
        showError('Save', 'Could not save "' + path + '": ' + e.message + '. The scenario is still kept in this browser.');
      });
      return;
    }
    var link = el('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = path;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function() { URL.revokeObjectURL(link.href); }, 10000);
  }

  // ---- the scenario kept in the browser ----------------------------------
  function toBase64(bytes) {
    var s = '';
    for (var i = 0; i < bytes.length; i++) s += String.fromCharCode(bytes[i]);
    return btoa(s);
  }
  function fromBase64(text) {
    var s = atob(text), bytes = new Uint8Array(s.length);
    for (var i = 0; i < s.length; i++) bytes[i] = s.charCodeAt(i);
    return bytes;
  }
  function tellStorage(why) {
    if (storageTold) return;
    storageTold = true;
    var notice = document.getElementById('storage-notice');
    notice.textContent = 'This browser does not let TREVA keep the scenario (' + why +
      '): a reload or a closed tab loses what was not saved to a file. Save the scenario to keep it.';
    notice.hidden = false;
  }
  function storage() {
    try {
      return window.localStorage;
    } catch (e) {
      tellStorage(e.name === 'SecurityError' ? 'storage is turned off' : e.message);
      return null;
    }
  }
  // True when the browser kept it all.
  function keep(record, saved, name, history) {
    if (driveMode) return true;
    var store = storage();
    if (!store) return false;
    // The rolls are kept in the history before the scenario counts them: a
    // history that does not fit leaves the kept scenario as it was too, so
    // the two never disagree.
    try {
      if (history !== null) store.setItem('treva.history', history);
      store.setItem('treva.scenario', toBase64(record));
      store.setItem('treva.saved', toBase64(saved));
      store.setItem('treva.name', name);
      return true;
    } catch (e) {
      tellStorage(e.name === 'QuotaExceededError' ? 'its storage is full' : e.message);
      return false;
    }
  }
  // Before the program starts: the kept scenario as files it opens.
  function takeKept() {
    var store = storage();
    if (!store) return;
    var record;
    try {
      record = store.getItem('treva.scenario');
      if (!record) return;
      FS.mkdirTree('/kept');
      FS.writeFile('/kept/scenario.trv', fromBase64(record));
      var saved = store.getItem('treva.saved');
      if (saved) FS.writeFile('/kept/saved.trv', fromBase64(saved));
      FS.writeFile('/kept/name', store.getItem('treva.name') || '');
      var history = store.getItem('treva.history');
      if (history) FS.writeFile('/kept/scenario.history.txt', history);
    } catch (e) {
      tellStorage(e.message);
    }
  }

  // ---- waiting ---------------------------------------------------------
  // Waits of the program, newest last; only the newest may wake.
  var waiting = [];
  var waking = false;
  function wakeWaiting() {
    if (waking) return;
    waking = true;
    setTimeout(function() {
      waking = false;
      while (waiting.length && waiting[waiting.length - 1].ready) {
        var entry = waiting.pop();
        Asyncify.currData = entry.data;
        depth++;
        try {
          entry.wakeUp(entry.value);
        } finally {
          depth--;
        }
        call('webResumed');
      }
    }, 0);
  }
  function waitModal(w, done) { modalWaits[w] = done; }

  // ---- the drive ---------------------------------------------------------
  function selectorOf(w, c) {
    if (c === -2) return '[data-window="' + w + '"] > .titlebar > button.close';
    return '[data-window="' + w + '"] [data-control="' + c + '"]';
  }
  function isShown(w) {
    var win = windows[w];
    return !!win && !win.frame.hidden && win.frame.isConnected;
  }
  function driveInput(action) { return window.trevaInput(action); }
  // A scene's picture, taken by the browser's driver once the window's
  // pictures are decoded and the page is drawn: a window's panel, or the
  // page's header (caption, menu, strip) for the frame's.
  function photograph(w, name) {
    var win = windows[w];
    var shown = win ? win.frame : document.getElementById('frame');
    var pictures = Array.prototype.slice.call(shown.querySelectorAll('img[src]'));
    return Promise.all(pictures.map(function(img) { return img.decode().catch(function() {}); }))
      .then(function() { return new Promise(function(drawn) { requestAnimationFrame(function() { setTimeout(drawn); }); }); })
      .then(function() { return window.trevaPhotograph({ selector: win ? '[data-window="' + w + '"]' : '#frame', name: name }); })
      .then(function(taken) { return !!taken; }, function() { return false; });
  }
  function driveDone(status, out, err) {
    var files = {};
    (window.trevaDriveFiles || []).forEach(function(path) {
      try {
        var bytes = FS.readFile(path);
        if (!sameBytes(bytes, filesShown[path])) files[path] = toBase64(bytes);
      } catch (e) { /* not written */ }
    });
    window.trevaDriveDone({ status: status, stdout: out, stderr: err, files: files });
  }

  // ---- start ---------------------------------------------------------------
  // The program's module is compiled while its script still loads. A drive
  // runs a program of its own (the drive reports its errors by exceptions,
  // which the page's program does without).
  var programName = driveMode ? 'treva-drive' : 'treva';
  function compileProgram() {
    var fetched = fetch(programName + '.wasm', { credentials: 'same-origin' });
    var streamed = WebAssembly.compileStreaming ? WebAssembly.compileStreaming(fetched) : Promise.reject();
    return streamed.catch(function() {
      // A server that does not call it application/wasm: compiled from its bytes.
      return fetch(programName + '.wasm', { credentials: 'same-origin' })
        .then(function(r) { return r.arrayBuffer(); })
        .then(function(bytes) { return WebAssembly.compile(bytes); });
    });
  }

  function start() {
    var compiled = compileProgram();
    if ('serviceWorker' in navigator && !driveMode && location.protocol !== 'file:')
      navigator.serviceWorker.register('sw.js').catch(function() { /* works without, only not offline */ });
    var args = [];
    var ready = Promise.resolve();
    if (driveMode) {
      ready = window.trevaDriveSetup().then(function(setup) {
        args = setup.args;
        window.trevaDriveFiles = Object.keys(setup.files);
        window.trevaDriveSetupFiles = setup.files;
        var scenarioAt = args.indexOf('--scenario');
        if (scenarioAt >= 0 && scenarioAt + 1 < args.length) {
          var path = args[scenarioAt + 1];
          var history = path.replace(/\.trv$/i, '') + '.history.txt';
          window.trevaDriveFiles = [path, history];
        }
      });
    }
    ready.catch(function(e) {
      window.trevaDriveDone({ status: 2, stdout: '', stderr: 'treva: the page could not start the drive (' + e + ')\n', files: {} });
    });
    ready.then(function() {
      window.Module = {
        arguments: args,
        preRun: [function() {
          FS.mkdirTree('/files');
          FS.chdir('/files');
          if (driveMode) {
            var files = window.trevaDriveSetupFiles;
            Object.keys(files).forEach(function(path) {
              var slash = path.lastIndexOf('/');
              if (slash > 0) FS.mkdirTree(path.slice(0, slash));
              putFile(path, fromBase64(files[path]));
            });
          } else {
            takeKept();
          }
          FS.mkdirTree('/guide');
          FS.writeFile('/guide/index.html', ''); // the guide is served beside the page
        }],
        instantiateWasm: function(imports, receive) {
          compiled.then(function(module) { return WebAssembly.instantiate(module, imports); })
            .then(function(instance) { receive(instance); });
          return {};
        },
        print: function(line) { console.log(line); },
        printErr: function(line) { console.error(line); },
        onAbort: function(what) {
          var notice = document.getElementById('storage-notice');
          notice.textContent = 'TREVA stopped: ' + what + '. The scenario as last kept is taken up at the next visit.';
          notice.hidden = false;
        }
      };
      var script = document.createElement('script');
      script.src = programName + '.js';
      document.body.appendChild(script);
    });
  }

  function firstWindowShown() {
    if (document.body.dataset.ready) return;
    document.body.dataset.ready = '1';
    performance.mark('treva-first-window');
  }
  window.addEventListener('resize', function() {
    Object.keys(windows).forEach(function(w) { if (!windows[w].frame.hidden) fit(windows[w]); });
  });

  return {
    waiting: waiting, wakeWaiting: wakeWaiting, start: start,
    buildFrame: buildFrame, createWindow: createWindow, addControl: addControl,
    showWindow: showWindow, focusFirst: focusFirst,
    endWindow: endWindow, activate: activate, control: control,
    setText: setText, text: text,
    setChecked: function(w, c, checked) { var e = control(w, c); if (e && 'checked' in e) e.checked = checked; },
    isChecked: function(w, c) { var e = control(w, c); return !!(e && e.checked); },
    setEnabled: setEnabled, isEnabled: isEnabled, addItem: addItem, setSelection: setSelection,
    selection: function(w, c) { var e = control(w, c); return e && e.tagName === 'SELECT' ? e.selectedIndex : -1; },
    itemCount: function(w, c) { var e = control(w, c); return e && e.tagName === 'SELECT' ? e.options.length : 0; },
    itemText: function(w, c, i) { var e = control(w, c); return e && e.options && e.options[i] ? e.options[i].text : ''; },
    setImage: function(w, c, bitmap) { var e = control(w, c); if (e && e.tagName === 'IMG') showPicture(e, bitmap); },
    image: function(w, c) { var e = control(w, c); return e && e.tagName === 'IMG' ? Number(e.dataset.image) : 0; },
    focusSelectAll: function(w, c) {
      var e = control(w, c);
      if (!e) return;
      e.focus({ preventScroll: true });
      if (e.select) e.select();
    },
    setRows: setRows, selectedRows: selectedRows, setChart: setChart, copyText: copyText,
    setCaption: setCaption, setModified: setModified, setMenuItemEnabled: setMenuItemEnabled,
    closeFrame: closeFrame, openDocument: openDocument,
    waitModal: waitModal, askOpenPath: askOpenPath, askSavePath: askSavePath,
    askSaveChanges: askSaveChanges, showError: showError, syncFile: syncFile, keep: keep,
    selectorOf: selectorOf, isShown: isShown, driveInput: driveInput, driveDone: driveDone,
    photograph: photograph
  };
})();

TrevaPage.start();
