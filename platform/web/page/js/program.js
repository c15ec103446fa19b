// The program's turns on the page: the page calls into it, and while it
// runs, what it does to the page is no input; it waits for the player, in a
// modal box of its windows or in one of the page's own (a question, an
// error), and its waits wake newest first. And whether a drive
// (index.html?drive) runs it rather than a player.
import {el} from './layout.js';

var depth = 0; // > 0 while the program runs: its own focus changes are no input
export const driveMode = /[?&]drive\b/.test(location.search);

// Calls into the program; a C++ exception there must not leave the page
// thinking the program is still running.
export function call(name) {
  var args = Array.prototype.slice.call(arguments, 1);
  depth++;
  try {
    return Module['_' + name].apply(null, args);
  } finally {
    depth--;
  }
}
export function programRunning() {
  return depth > 0;
}

// Waits of the program, newest last; only the newest may wake.
var waiting = [];
var waking = false;
export function wakeWaiting() {
  if (waking) return;
  waking = true;
  setTimeout(function () {
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
// The list the program's waits join (web_layer.js), newest last.
export function waits() {
  return waiting;
}

// The page's own boxes: a question or an error the program puts to the
// player, answered before it goes on.
export function messageBox(kind, title, textShown, buttons, extra) {
  return new Promise(function (resolve) {
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
    buttons.forEach(function (b) {
      var button = el('button', 'push', b.text);
      button.type = 'button';
      button.dataset.answer = b.answer;
      button.addEventListener('click', function () {
        finish(b.answer);
      });
      row.appendChild(button);
    });
    body.appendChild(row);
    box.appendChild(body);
    function finish(answer) {
      box.close();
      box.remove();
      resolve(answer);
    }
    box.addEventListener('cancel', function (e) {
      e.preventDefault();
      finish(buttons[buttons.length - 1].answer);
    });
    document.body.appendChild(box);
    box.showModal();
    var focus = extra ? extra : row.firstChild;
    focus.focus();
  });
}
// The browser keeps the scenario on the table whatever the answer (a
// reload takes it up again), which a player who says Don't Save would not
// guess: the question says so.
export function askSaveChanges(name) {
  var question =
    'Save changes to ' +
    name +
    "? Don't Save leaves the file as it was, but this browser still keeps the scenario as it is now, changes and all, and takes it up again at the next visit.";
  return messageBox('save-changes', 'TREVA!', question, [
    {text: 'Save', answer: 'save'},
    {text: "Don't Save", answer: 'dont-save'},
    {text: 'Cancel', answer: 'cancel'},
  ]).then(function (a) {
    return a === 'save' ? 0 : a === 'dont-save' ? 1 : 2;
  });
}
export function showError(title, text) {
  return messageBox('error', title, text, [{text: 'OK', answer: 'ok'}]);
}
