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

// Tool windows open one below another to the right of the last, within the
// page; a window wider than the page is drawn smaller to fit.
// Under a finger (a tablet) a window is drawn larger where the screen
// has room for it, so that its buttons are big enough to touch.
var touch = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
export function fit(win) {
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
export function fitTexts(boxes) {
  boxes = Array.prototype.filter.call(boxes, function (box) {
    return box.roomWidth && !box.hidden;
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
