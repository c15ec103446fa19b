// How the page shows what a window's template gives: its elements and their
// texts (a caption's mnemonic, its line ends), the template's dialog units in
// pixels of the page's font, a window drawn to fit the page, and texts given
// the room they need.

export function el(tag, cls, text) {
  var e = document.createElement(tag);
  if (cls) e.className = cls;
  if (text !== undefined) e.textContent = text;
  return e;
}

// "&Roll": R is the mnemonic, shown underlined; "&&" is an ampersand.
export function setMnemonicText(target, text) {
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
export function mnemonicText(target) {
  var text = '';
  target.childNodes.forEach(function (node) {
    if (node.nodeType === 3) text += node.data.replace(/&/g, '&&');
    else if (node.tagName === 'U') text += '&' + node.textContent;
  });
  return text;
}
export function shownLines(text) {
  return text.replace(/\r\n/g, '\n').replace(/\r/g, '\n');
}

var FONT = '"Liberation Sans", Arial, Helvetica, sans-serif';

// Dialog units in CSS pixels, from the dialog font as a desktop derives
// them: a quarter of its average letter width, an eighth of its height.
var unitsOfSize = {};
export function dialogUnits(pointSize) {
  var px = Math.round((pointSize * 4) / 3);
  if (unitsOfSize[px]) return unitsOfSize[px];
  var ctx = document.createElement('canvas').getContext('2d');
  ctx.font = px + 'px ' + FONT;
  var m = ctx.measureText('ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz');
  var height = m.fontBoundingBoxAscent + m.fontBoundingBoxDescent;
  if (!(height > 0)) height = px * 1.15;
  var line = Math.ceil(height);
  var units = {px: px, line: line, x: Math.round(m.width / 52) / 4, y: line / 8};
  unitsOfSize[px] = units;
  return units;
}

export function place(target, units, x, y, width, height) {
  target.style.left = x * units.x + 'px';
  target.style.top = y * units.y + 'px';
  target.style.width = width * units.x + 'px';
  target.style.height = height * units.y + 'px';
  target.baseLeft = target.style.left;
  target.baseWidth = target.style.width;
  target.baseHeight = target.style.height;
}

// A window drawn to fit the page (the program places it): one wider than
// the page is drawn smaller. Under a finger (a tablet) a window is drawn
// larger where the screen has room for it, its rows spread for a finger; on
// a phone it is laid out in rows across the screen.
var touch = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
export function fit(win) {
  if (narrow.matches) {
    flow(win);
    win.frame.style.transform = win.frame.style.transformOrigin = '';
    win.frame.dataset.scale = 1;
    return 1;
  }
  unflow(win);
  spaceStacked(win);
  var room = document.documentElement.clientWidth - 8;
  var natural = win.width + 2;
  var scale = Math.min(room / natural, touch ? 1.3 : 1);
  if (touch) {
    // Drawn smaller, a window's spread rows are taller in its own units, so
    // the largest scale at which it fits under the frame is sought.
    var high = window.innerHeight - document.getElementById('frame').offsetHeight - 8;
    var drawnHeight = function (s) {
      win.frame.style.setProperty('--scale', s);
      return s * (spread(win, s) + win.bar.offsetHeight + 2);
    };
    if (drawnHeight(scale) > high) {
      var low = 0.25,
        top = scale;
      for (var i = 0; i < 10; i++) {
        var middle = (low + top) / 2;
        if (drawnHeight(middle) > high) top = middle;
        else low = middle;
      }
      scale = low;
      drawnHeight(scale);
    }
  }
  win.frame.style.transform = scale !== 1 ? 'scale(' + scale + ')' : '';
  // A box drawn larger stays centred over the page.
  win.frame.style.transformOrigin = win.modal && scale > 1 ? '50% 50%' : '';
  win.frame.dataset.scale = scale;
  return scale;
}
// Radio buttons and check boxes that the template stacks closer than a
// pointer's 24 px: the upper one's box sits at the top of its label and the
// lower one's at the foot, so that they lie far enough apart to hit. Under
// a finger the rows are spread instead.
function spaceStacked(win) {
  var labels = Array.prototype.filter.call(win.client.children, function (b) {
    b.style.alignItems = '';
    return b.matches('label.radio, label.check');
  });
  if (touch) return;
  labels.forEach(function (a) {
    labels.forEach(function (b) {
      var gap = (b.template.y - a.template.y) * win.units.y;
      if (a.template.x === b.template.x && gap > 0 && gap < 24) {
        a.style.alignItems = 'flex-start';
        b.style.alignItems = 'flex-end';
      }
    });
  });
}

// A text that does not fit its area in the page's font takes the room
// the template leaves free beside and under it. The boxes of a window are
// measured together, so that the page is laid out twice, not twice a box.
export function fitTexts(boxes) {
  boxes = Array.prototype.filter.call(boxes, function (box) {
    // In the phone's rows a text takes the room of its row.
    return box.roomWidth && !box.hidden && !box.parentNode.classList.contains('flow-row');
  });
  boxes.forEach(function (box) {
    box.style.width = box.baseWidth;
    box.style.height = box.baseHeight;
    box.style.left = box.baseLeft;
    // Its lines unbroken first: a line the room has width for stays one line.
    box.style.whiteSpace = 'pre';
  });
  // The text's own width, to the fraction of a pixel, and the box's edges.
  var naturals = boxes.map(function (box) {
    var range = document.createRange();
    range.selectNodeContents(box);
    var style = getComputedStyle(box);
    var natural =
      Math.ceil(range.getBoundingClientRect().width / (Number(box.closest('.window').dataset.scale) || 1)) +
      box.offsetWidth -
      box.clientWidth +
      parseFloat(style.paddingLeft) +
      parseFloat(style.paddingRight) +
      1;
    return natural > box.offsetWidth ? natural : 0;
  });
  boxes.forEach(function (box, i) {
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
  boxes.forEach(function (box) {
    box.style.whiteSpace = '';
  });
  var heights = boxes.map(function (box) {
    return box.scrollHeight > box.clientHeight ? box.scrollHeight : 0;
  });
  boxes.forEach(function (box, i) {
    if (heights[i]) box.style.height = Math.min(heights[i] + 1, box.roomHeight) + 'px';
  });
}

// The touch layouts. A narrow screen (a phone held upright) shows one window
// at a time across its width, its controls in rows; a wider one under a
// finger (a tablet) keeps the template's layout with rows spread apart.
export var narrow = window.matchMedia('(max-width: 599.98px)');
var TARGET = 44; // CSS pixels a finger needs, high

var TARGETS = 'button.push, label.check, label.radio, select.list, input.edit';

// Two places of the template on one line, as the Tab order reads them:
// they overlap by at least half the lower one.
function sameRow(a, b) {
  var overlap = Math.min(a.y + a.height, b.y + b.height) - Math.max(a.y, b.y);
  return overlap >= Math.min(a.height, b.height) / 2;
}
function readsBefore(a, b) {
  return sameRow(a, b) ? a.x < b.x : a.y < b.y;
}
function byReading(a, b) {
  return readsBefore(a.template, b.template) ? -1 : readsBefore(b.template, a.template) ? 1 : 0;
}
// Controls gathered in rows of the template, in the order given.
function rows(boxes) {
  var found = [];
  boxes.forEach(function (box) {
    var row = found[found.length - 1];
    if (row && sameRow(row[0].template, box.template)) row.push(box);
    else found.push([box]);
  });
  return found;
}
function rowOf(boxes) {
  var row = el('div', 'flow-row');
  boxes.forEach(function (box) {
    row.appendChild(box);
  });
  return row;
}

// The phone's layout: the controls that take the focus in the order the
// page was given them (the Tab order), a radio group with the texts and
// pictures of its group as one block, and every other text or picture
// before the first control that reads after it.
function flow(win) {
  if (win.flowed) return;
  var boxes = Array.prototype.slice.call(win.client.children);
  win.unflowed = boxes;
  var units = [],
    blocks = {};
  boxes.forEach(function (box) {
    var t = box.template;
    if (t.kind === 'radio') {
      if (!blocks[t.group]) units.push((blocks[t.group] = {members: [], before: [], block: true}));
      blocks[t.group].members.push(box);
    } else if (t.focusable) units.push({members: [box], before: []});
  });
  var trailing = [];
  boxes.forEach(function (box) {
    var t = box.template;
    if (t.focusable || t.kind === 'radio') return;
    if (blocks[t.group]) return blocks[t.group].members.push(box);
    var next = units.find(function (u) {
      return u.members.some(function (m) {
        return readsBefore(t, m.template);
      });
    });
    (next ? next.before : trailing).push(box);
  });
  win.client.textContent = '';
  function addRows(list, into) {
    rows(list.sort(byReading)).forEach(function (row) {
      into.appendChild(rowOf(row));
    });
  }
  var last = null; // the row of the last lone control, which the next may join
  units.forEach(function (u) {
    addRows(u.before, win.client);
    var box = u.members[0];
    // Controls side by side in the template (Roll under each table) stay so.
    if (!u.block && !u.before.length && last && sameRow(last.firstChild.template, box.template))
      return last.appendChild(box);
    last = null;
    if (!u.block) return win.client.appendChild((last = rowOf(u.members)));
    var group = el('div', 'flow-group');
    addRows(u.members, group);
    win.client.appendChild(group);
  });
  addRows(trailing, win.client);
  win.client.style.fontSize = Math.max(16, win.units.px) + 'px';
  win.flowed = true;
}
function unflow(win) {
  if (!win.flowed) return;
  win.client.textContent = '';
  win.unflowed.forEach(function (box) {
    win.client.appendChild(box);
  });
  win.client.style.fontSize = win.units.px + 'px';
  win.flowed = false;
}

// The tablet's layout: each row of controls a finger presses is made
// TARGET pixels high on the screen (at the window's scale), and what lies
// below it moves down by as much; a text beside or across such rows
// stretches with them.
function spread(win, scale) {
  var boxes = Array.prototype.slice.call(win.client.children);
  var u = win.units;
  var targets = boxes.filter(function (b) {
    return b.matches(TARGETS);
  });
  var least = Math.ceil(TARGET / scale) + 1;
  var grown = rows(targets.slice().sort(byReading)).map(function (row) {
    var extra = 0,
      end = 0;
    row.forEach(function (b) {
      extra = Math.max(extra, least - b.template.height * u.y);
      end = Math.max(end, b.template.y + b.template.height);
    });
    return {row: row, extra: Math.max(0, extra), end: end};
  });
  // Where the template's line y falls once the rows above it are taller.
  function at(y) {
    var down = 0;
    grown.forEach(function (g) {
      if (g.end <= y) down += g.extra;
    });
    return y * u.y + down;
  }
  var down = 0;
  grown.forEach(function (g) {
    g.row.forEach(function (b) {
      b.style.top = b.template.y * u.y + down + 'px';
      b.style.height = b.baseHeight = Math.max(least, b.template.height * u.y) + 'px';
    });
    down += g.extra;
  });
  boxes.forEach(function (b) {
    var t = b.template;
    if (targets.indexOf(b) < 0) {
      b.style.top = at(t.y) + 'px';
      b.style.height = b.baseHeight = at(t.y + t.height) - at(t.y) + 'px';
    }
  });
  win.client.style.height = win.height + down + 'px';
  return win.height + down;
}
