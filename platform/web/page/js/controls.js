// A window's controls as its template lists them, and what the program
// sets and reads of them: texts, checks, lists, pictures, list boxes of many
// rows and charts.
import {el, fitTexts, mnemonicText, place, setMnemonicText, shownLines} from './layout.js';
import {call} from './program.js';
import {command, control, windowOf} from './windows.js';

var CLOSED_LIST_HEIGHT = 12;
// The kinds of control, by the names the program sends.
var KIND = {
  push: 'push',
  defaultPush: 'defaultPush',
  check: 'check',
  radio: 'radio',
  list: 'list',
  edit: 'edit',
  text: 'text',
  picture: 'picture',
  listBox: 'listBox',
  chart: 'chart',
};

// One control of a window's template, as the program names its parts: id,
// kind, caption, x, y, width, height, style (class names), capacity (of an
// edit box), bitmap, group, focusable, right and bottom (the room a text may
// take) and name (for screen readers).
export function addControl(w, control) {
  var {id, kind, caption, x, y, width, height, style, capacity, bitmap, group, focusable, right, bottom, name} =
    control;
  var win = windowOf(w);
  var input, box;
  switch (kind) {
    case KIND.push:
    case KIND.defaultPush:
      input = box = el('button', kind === KIND.defaultPush ? 'push default' : 'push');
      input.type = 'button';
      setMnemonicText(input, caption);
      input.addEventListener('click', function () {
        command(w, id);
      });
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
      input.addEventListener('click', function () {
        command(w, id);
      });
      break;
    case KIND.list:
      input = box = el('select', 'list');
      height = CLOSED_LIST_HEIGHT;
      input.addEventListener('focus', function () {
        command(w, id);
      });
      input.addEventListener('change', function () {
        command(w, id);
      });
      break;
    case KIND.edit:
      input = box = el('input', 'edit');
      input.type = 'text';
      input.maxLength = capacity;
      input.spellcheck = false;
      input.autocomplete = 'off';
      input.value = caption;
      input.addEventListener('input', function () {
        command(w, id);
      });
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
  // The program names the classes of its look: centred, sunken, bordered.
  if (style) box.classList.add(...style.split(' '));
  place(box, win.units, x, y, width, height);
  // Its place in the template, which the touch layouts lay out afresh.
  box.template = {x: x, y: y, width: width, height: height, group: group, focusable: focusable, kind: kind};
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
  // A control without a caption of its own (a list, a radio beside a
  // picture) is named by the program's name for it.
  if (kind === KIND.list || kind === KIND.edit || kind === KIND.listBox || kind === KIND.chart || !caption)
    if (name && kind !== KIND.text && kind !== KIND.picture) input.setAttribute('aria-label', name);
  win.client.appendChild(box);
}

export function showPicture(img, bitmap) {
  img.dataset.image = bitmap;
  if (!bitmap) {
    img.removeAttribute('src');
    img.removeAttribute('srcset');
    return;
  }
  img.src = 'pictures/' + bitmap + '.png';
  img.srcset = 'pictures/' + bitmap + '@2x.png 2x';
}

export function setText(w, c, text) {
  var e = control(w, c);
  if (!e) return;
  var kind = windowOf(w).kinds[c];
  if (kind === KIND.edit) e.value = text;
  else if (kind === KIND.check || kind === KIND.radio) setMnemonicText(e.parentNode.querySelector('.caption'), text);
  else if (kind === KIND.push || kind === KIND.defaultPush) setMnemonicText(e, text);
  else if (kind === KIND.text) e.textContent = shownLines(text);
  fitTexts([e.closest('.control')]);
}
export function text(w, c) {
  var e = control(w, c);
  if (!e) return '';
  var kind = windowOf(w).kinds[c];
  if (kind === KIND.edit) return e.value;
  if (kind === KIND.check || kind === KIND.radio) return mnemonicText(e.parentNode.querySelector('.caption'));
  if (kind === KIND.push || kind === KIND.defaultPush) return mnemonicText(e);
  if (kind === KIND.list) return e.selectedIndex >= 0 ? e.options[e.selectedIndex].text : '';
  if (kind === KIND.text) return e.textContent.replace(/\n/g, '\r');
  return '';
}
export function setEnabled(w, c, enabled) {
  var e = control(w, c);
  if (!e) return;
  if ('disabled' in e && e.tagName !== 'DIV' && e.tagName !== 'IMG') e.disabled = !enabled;
  else if (enabled) e.removeAttribute('aria-disabled');
  else e.setAttribute('aria-disabled', 'true');
  var box = e.closest('.control');
  if (box) box.classList.toggle('disabled', !enabled);
}
export function isEnabled(w, c) {
  var e = control(w, c);
  if (!e) return false;
  if ('disabled' in e && e.tagName !== 'DIV' && e.tagName !== 'IMG') return !e.disabled;
  return e.getAttribute('aria-disabled') !== 'true';
}
export function addItem(w, c, item) {
  var e = control(w, c);
  if (!e || e.tagName !== 'SELECT') return;
  var option = el('option', '', item);
  option.value = String(e.options.length);
  e.appendChild(option);
  if (e.options.length === 1) e.selectedIndex = -1; // a new list shows nothing chosen
}
export function setSelection(w, c, index) {
  var e = control(w, c);
  if (e && e.tagName === 'SELECT') e.selectedIndex = index >= 0 && index < e.options.length ? index : -1;
}

export function setChart(w, c, bars) {
  var chart = control(w, c);
  if (!chart) return;
  chart.textContent = '';
  var top = 1;
  bars.forEach(function (b) {
    top = Math.max(top, b.count, b.expected);
  });
  var said = [];
  bars.forEach(function (b) {
    var column = el('div', 'bar-column');
    var bar = el('div', 'bar');
    bar.style.height = (100 * b.count) / top + '%';
    var mark = el('div', 'expected');
    mark.style.bottom = (100 * b.expected) / top + '%';
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

export function copyText(text) {
  if (navigator.clipboard && navigator.clipboard.writeText) {
    navigator.clipboard.writeText(text).catch(function () {
      copyByHand(text);
    });
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
  try {
    document.execCommand('copy');
  } catch (e) {
    /* nothing more a page can do */
  }
  area.remove();
}

// List boxes of many rows (the roll history): only the rows in sight are
// made, each asked of the program when it comes into sight. A row is
// --row high (taller for a finger).
function rowHeight(box) {
  return parseFloat(getComputedStyle(box).getPropertyValue('--row')) || 18;
}

function makeListBox(w, id) {
  var box = el('div', 'listbox');
  box.setAttribute('role', 'listbox');
  box.setAttribute('aria-multiselectable', 'true');
  box.tabIndex = 0;
  var inner = el('div', 'rows');
  box.appendChild(inner);
  box.listState = {count: 0, selected: new Set(), anchor: -1, cursor: -1};
  box.addEventListener('scroll', function () {
    drawRows(w, id, box);
  });
  // Rows set while the window is hidden, or a box made taller, show as many
  // rows as the box has room for.
  new ResizeObserver(function () {
    if (box.clientHeight !== box.drawnHeight) drawRows(w, id, box);
  }).observe(box);
  box.redraw = function () {
    drawRows(w, id, box);
  };
  box.addEventListener('click', function (e) {
    var rowEl = e.target.closest('[role=option]');
    if (!rowEl) return;
    var r = Number(rowEl.dataset.row),
      s = box.listState;
    if (e.shiftKey && s.anchor >= 0) {
      if (!e.ctrlKey) s.selected.clear();
      for (var i = Math.min(s.anchor, r); i <= Math.max(s.anchor, r); i++) s.selected.add(i);
    } else if (e.ctrlKey || e.metaKey) {
      if (s.selected.has(r)) s.selected.delete(r);
      else s.selected.add(r);
      s.anchor = r;
    } else {
      s.selected.clear();
      s.selected.add(r);
      s.anchor = r;
    }
    s.cursor = r;
    drawRows(w, id, box);
  });
  box.addEventListener('keydown', function (e) {
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
    if (!e.shiftKey) {
      s.selected.clear();
      s.anchor = r;
    }
    s.selected.add(r);
    var high = rowHeight(box),
      top = r * high;
    if (top < box.scrollTop) box.scrollTop = top;
    else if (top + high > box.scrollTop + box.clientHeight) box.scrollTop = top + high - box.clientHeight;
    drawRows(w, id, box);
  });
  return box;
}
function drawRows(w, id, box) {
  var s = box.listState,
    inner = box.firstChild,
    high = rowHeight(box);
  inner.style.height = s.count * high + 'px';
  box.drawnHeight = box.clientHeight;
  var first = Math.floor(box.scrollTop / high);
  var last = Math.min(s.count, first + Math.ceil(box.clientHeight / high) + 1);
  inner.textContent = '';
  for (var r = first; r < last; r++) {
    var row = el('div', 'row', UTF8ToString(call('webRow', w, id, r)));
    row.setAttribute('role', 'option');
    row.setAttribute('aria-selected', String(s.selected.has(r)));
    row.setAttribute('aria-setsize', s.count);
    row.setAttribute('aria-posinset', r + 1);
    row.dataset.row = r;
    row.style.top = r * high + 'px';
    inner.appendChild(row);
  }
}
export function setRows(w, c, count) {
  var box = control(w, c);
  if (!box || !box.listState) return;
  box.listState.count = count;
  box.listState.selected.clear();
  box.listState.anchor = box.listState.cursor = -1;
  box.scrollTop = 0;
  drawRows(w, c, box);
}
export function selectedRows(w, c) {
  var box = control(w, c);
  if (!box || !box.listState) return [];
  return Array.from(box.listState.selected).sort(function (a, b) {
    return a - b;
  });
}
