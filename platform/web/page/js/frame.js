// The frame above the windows: the menu, the strip of window buttons, the
// keyboard's shortcuts, and the caption with the scenario's name.
import {el, setMnemonicText} from './layout.js';
import {call} from './program.js';

var shortcuts = {};
function closeMenus() {
  document.querySelectorAll('#menubar [role=menu]').forEach(function (m) {
    m.hidden = true;
  });
  document.querySelectorAll('#menubar .menu-title').forEach(function (b) {
    b.setAttribute('aria-expanded', 'false');
  });
}
function frameCommand(command) {
  closeMenus();
  call('webFrameCommand', command);
}
export function buildFrame(menu, strip) {
  var bar = document.getElementById('menubar');
  bar.textContent = '';
  menu.forEach(function (popup) {
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
    popup.items.forEach(function (item) {
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
      b.addEventListener('click', function () {
        frameCommand(item.command);
      });
      list.appendChild(b);
    });
    title.addEventListener('click', function () {
      var open = list.hidden;
      closeMenus();
      list.hidden = !open;
      title.setAttribute('aria-expanded', String(open));
      if (open) {
        var first = list.querySelector('button:not([disabled])');
        if (first) first.focus();
      }
    });
    list.addEventListener('keydown', function (e) {
      var items = Array.prototype.slice.call(list.querySelectorAll('button:not([disabled])'));
      var at = items.indexOf(document.activeElement);
      if (e.key === 'ArrowDown') items[(at + 1) % items.length].focus();
      else if (e.key === 'ArrowUp') items[(at + items.length - 1) % items.length].focus();
      else if (e.key === 'Escape') {
        closeMenus();
        title.focus();
      } else return;
      e.preventDefault();
    });
    holder.appendChild(title);
    holder.appendChild(list);
    bar.appendChild(holder);
  });
  document.addEventListener('pointerdown', function (e) {
    if (!e.target.closest('#menubar')) closeMenus();
  });
  var toolbar = document.getElementById('strip');
  toolbar.textContent = '';
  strip.forEach(function (button) {
    var b = el('button', 'strip-button');
    b.type = 'button';
    b.dataset.command = button.command;
    b.setAttribute('aria-label', button.name);
    b.title = button.name;
    b.style.setProperty('--strip-x', -48 * button.image + 'px');
    b.addEventListener('click', function () {
      frameCommand(button.command);
    });
    toolbar.appendChild(b);
  });
  document.addEventListener('keydown', function (e) {
    var key = e.key.length === 1 ? e.key.toUpperCase() : e.key;
    var name = (e.ctrlKey ? 'Ctrl+' : '') + key;
    var item = shortcuts[name];
    if (e.altKey && !e.ctrlKey && key === 'O') item = document.querySelector('#menubar [data-command="40011"]');
    if (!item || item.disabled || document.querySelector('dialog[open]')) return;
    e.preventDefault();
    frameCommand(Number(item.dataset.command));
  });
}

var caption = '',
  modified = false;
function showCaption() {
  var shown = (modified ? '*' : '') + caption;
  document.getElementById('caption').textContent = shown;
  document.title = shown;
}
export function setCaption(text) {
  caption = text;
  showCaption();
}
export function setModified(m) {
  modified = m;
  showCaption();
}
export function setMenuItemEnabled(command, enabled) {
  document.querySelectorAll('#menubar [data-command="' + command + '"]').forEach(function (b) {
    b.disabled = !enabled;
  });
}
export function closeFrame() {
  document.getElementById('frame').hidden = true;
  document.getElementById('desk').hidden = true;
  document.getElementById('ended').hidden = false;
}
// The guide is served beside the page.
export function openDocument(path) {
  var opened = window.open(path.replace(/^\//, ''), '_blank');
  if (opened) opened.opener = null;
  return !!opened;
}
