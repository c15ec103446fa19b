// A window's panel on the page: made for the program, shown, moved by the
// player, given the focus, activated and ended.
import {dialogUnits, el, fit, fitTexts, narrow} from './layout.js';
import {call, programRunning} from './program.js';

var windows = {};
var zTop = 10;
var active = 0;
var front = 0; // the tool window a phone shows
var modalWaits = {};

export function control(w, c) {
  var x = windows[w];
  return x ? x.controls[c] || null : null;
}
// What the page holds of window w: its frame, client area, controls and size.
export function windowOf(w) {
  return windows[w];
}

export function createWindow(w, template, title, width, height, pointSize, modal, closeBox, escapeCloses, owner) {
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
    close.addEventListener('click', function () {
      command(w, 2);
    });
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
  windows[w] = {
    w: w,
    frame: frame,
    client: client,
    bar: bar,
    controls: {},
    kinds: {},
    modal: modal,
    owner: owner,
    width: width * units.x,
    height: height * units.y,
    units: units,
  };
  if (modal) {
    frame.tabIndex = -1; // it holds the focus until the program places it
    frame.addEventListener('cancel', function (e) {
      e.preventDefault(); // Escape: the box decides whether it ends
      command(w, 2);
    });
  } else {
    makeMovable(frame, bar);
    // A tool window of ours closes on Escape, as its close box does.
    if (escapeCloses)
      frame.addEventListener('keydown', function (e) {
        if (e.key !== 'Escape') return;
        e.preventDefault();
        command(w, 2);
      });
  }
  frame.addEventListener(
    'pointerdown',
    function () {
      if (active !== w && !programRunning()) call('webClickActivate', w);
    },
    true,
  );
  frame.addEventListener('keydown', function (e) {
    if (e.key !== 'Enter' || e.target.tagName === 'BUTTON' || e.target.tagName === 'SELECT') return;
    var x = windows[w];
    var def = x && x.client.querySelector('button.default:not([disabled])');
    if (def) {
      e.preventDefault();
      def.click();
    }
  });
  (modal ? document.body : document.getElementById('desk')).appendChild(frame);
}

export function command(w, id) {
  if (!programRunning()) call('webCommand', w, id);
}

export function showWindow(w) {
  var win = windows[w];
  win.frame.hidden = false;
  fit(win);
  win.client.querySelectorAll('.listbox').forEach(function (box) {
    box.redraw();
  });
  requestAnimationFrame(firstWindowShown);
  if (win.modal) {
    win.frame.showModal(); // a dialog has no layout until it is shown
    // The browser puts the focus on the box's first control; the program
    // places it by the window's own rules instead.
    win.frame.focus({preventScroll: true});
    fitTexts(win.client.querySelectorAll('.control'));
    return;
  }
  // The program places it, as every realisation's windows are placed.
  fitTexts(win.client.querySelectorAll('.control'));
}
function makeMovable(frame, bar) {
  bar.addEventListener('pointerdown', function (e) {
    if (e.target.closest('button')) return;
    var startX = e.clientX,
      startY = e.clientY;
    var left = frame.offsetLeft,
      top = frame.offsetTop;
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
  return Array.prototype.slice.call(win.client.querySelectorAll('[data-focusable]')).filter(function (e) {
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
export function focusFirst(w) {
  var win = windows[w];
  if (!win || win.frame.hidden) return -1;
  var inside = win.client.contains(document.activeElement);
  if (inside) return -1;
  var first = firstStop(win);
  if (!first) return -1;
  first.focus({preventScroll: true});
  return first.dataset.control !== undefined ? Number(first.dataset.control) : -1;
}
// A shown tool window's outer rectangle on the desk: x, y, width, height,
// as drawn (a window drawn larger grows from its top-left corner). A phone
// shows one window across the screen: the program places its windows as if
// on the desk, where they stay for a wider screen.
export function windowRect(w) {
  var win = windows[w];
  if (!win || win.modal || win.frame.hidden) return null;
  if (narrow.matches)
    return [
      parseFloat(win.frame.style.left) || 0,
      parseFloat(win.frame.style.top) || 0,
      win.width + 2,
      win.height + 32,
    ];
  var drawn = win.frame.getBoundingClientRect();
  return [win.frame.offsetLeft, win.frame.offsetTop, Math.ceil(drawn.width), Math.ceil(drawn.height)];
}
export function moveWindow(w, x, y) {
  var win = windows[w];
  if (!win) return;
  win.frame.style.left = x + 'px';
  win.frame.style.top = y + 'px';
}
// From the window's top edge to the foot of its title bar, border included.
export function captionHeight(w) {
  var win = windows[w];
  var bar = win && win.frame.querySelector('.titlebar');
  return bar ? Math.ceil(bar.getBoundingClientRect().bottom - win.frame.getBoundingClientRect().top) : 0;
}
// The part of the desk in sight, where tool windows go.
export function deskRect() {
  var desk = document.getElementById('desk');
  var top = Math.max(0, desk.getBoundingClientRect().top);
  return [0, 0, desk.clientWidth, Math.max(0, window.innerHeight - top)];
}
export function endWindow(w, keep) {
  var win = windows[w];
  if (!win) return;
  if (win.modal && win.frame.open) win.frame.close();
  if (keep) {
    win.frame.hidden = true;
    win.frame.dataset.ended = '1';
  } else {
    win.frame.remove();
    delete windows[w];
  }
  bringForward(front === w ? 0 : front);
  var wait = modalWaits[w];
  if (wait) {
    delete modalWaits[w];
    wait(0);
  }
}
export function activate(w) {
  document.querySelectorAll('.window.active').forEach(function (f) {
    f.classList.remove('active');
  });
  active = w;
  var win = windows[w];
  if (!win) return;
  win.frame.classList.add('active');
  if (!win.modal) win.frame.style.zIndex = ++zTop;
  if (!win.modal) bringForward(w);
  if (!win.frame.contains(document.activeElement)) {
    var target = win.lastFocus && win.frame.contains(win.lastFocus) ? win.lastFocus : firstStop(win);
    if (target) target.focus({preventScroll: true});
  }
}
document.addEventListener('focusin', function (e) {
  var frame = e.target.closest && e.target.closest('.window');
  if (frame && windows[frame.dataset.window]) windows[frame.dataset.window].lastFocus = e.target;
});

// The program waits in a modal box until the box ends.
export function waitModal(w, done) {
  modalWaits[w] = done;
}

// The tool window a phone shows (w, or the one last on top), and the
// list of open tool windows it is chosen from.
function bringForward(w) {
  var open = Object.keys(windows)
    .map(function (k) {
      return windows[k];
    })
    .filter(function (x) {
      return !x.modal && !x.frame.hidden;
    });
  if (!windows[w] || windows[w].modal) {
    var top = open.slice().sort(function (a, b) {
      return (Number(b.frame.style.zIndex) || 0) - (Number(a.frame.style.zIndex) || 0);
    })[0];
    w = top ? top.w : 0;
  }
  if (front && windows[front]) windows[front].frame.classList.remove('front');
  front = w;
  if (windows[w]) windows[w].frame.classList.add('front');
  var list = document.getElementById('open-windows');
  list.textContent = '';
  open.forEach(function (x) {
    var b = el('button', 'open-window', x.frame.querySelector('.titlebar .title').textContent);
    b.type = 'button';
    b.setAttribute('aria-pressed', String(x.w === front));
    b.addEventListener('click', function () {
      if (!programRunning()) call('webClickActivate', x.w);
    });
    list.appendChild(b);
  });
}

function firstWindowShown() {
  if (document.body.dataset.ready) return;
  document.body.dataset.ready = '1';
  performance.mark('treva-first-window');
}
narrow.addEventListener('change', function () {
  bringForward(front);
});
window.addEventListener('resize', function () {
  Object.keys(windows).forEach(function (w) {
    if (!windows[w].frame.hidden) fit(windows[w]);
  });
});
