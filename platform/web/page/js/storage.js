// The scenario kept in the browser, so that a reload or a closed tab takes
// it up again; a browser that does not let the page keep it is told of once.
import {driveMode, messageBox} from './program.js';

var storageTold = false;
var givenUp = false; // another tab took TREVA over: this one keeps nothing more
export function toBase64(bytes) {
  var s = '';
  for (var i = 0; i < bytes.length; i++) s += String.fromCharCode(bytes[i]);
  return btoa(s);
}
export function fromBase64(text) {
  var s = atob(text),
    bytes = new Uint8Array(s.length);
  for (var i = 0; i < s.length; i++) bytes[i] = s.charCodeAt(i);
  return bytes;
}
function tellStorage(why) {
  if (storageTold) return;
  storageTold = true;
  var notice = document.getElementById('storage-notice');
  notice.textContent =
    'This browser does not let TREVA keep the scenario (' +
    why +
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
export function keep(record, saved, name, history) {
  if (driveMode) return true;
  if (givenUp) return false;
  var store = storage();
  if (!store) return false;
  // All of it or none: what was written of a change the browser refuses is
  // taken back, so that the kept history and scenario never disagree.
  var keys = ['treva.history', 'treva.scenario', 'treva.saved', 'treva.name'];
  var values = [history, toBase64(record), toBase64(saved), name];
  var before = keys.map(function (key, i) {
    return values[i] === null ? null : store.getItem(key);
  });
  try {
    keys.forEach(function (key, i) {
      if (values[i] !== null) store.setItem(key, values[i]);
    });
    return true;
  } catch (e) {
    keys.forEach(function (key, i) {
      if (values[i] === null) return;
      try {
        if (before[i] === null) store.removeItem(key);
        else store.setItem(key, before[i]);
      } catch (ignored) {
        // what was there before took its room: it fits again
      }
    });
    tellStorage(e.name === 'QuotaExceededError' ? 'its storage is full' : e.message);
    return false;
  }
}
// What the program remembers between visits (the places of its windows):
// nothing is lost when the browser refuses it but the remembering.
export function readSetting(key) {
  var store = driveMode ? null : storage();
  try {
    return store ? store.getItem('treva.settings.' + key) : null;
  } catch (e) {
    return null;
  }
}
export function writeSetting(key, value) {
  var store = driveMode || givenUp ? null : storage();
  try {
    if (store) store.setItem('treva.settings.' + key, value);
  } catch (e) {
    // full or refused: the place is not kept, as it was not before
  }
}
// Before the program starts: the kept scenario as files it opens.
export function takeKept() {
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

// One TREVA at a time in a browser profile: two would write over each
// other's kept scenario. The one that runs holds the lock; another asks the
// player whether to take over, and the first then stops (having kept every
// roll, as it keeps after each) and lets go before the second reads what
// was kept. Resolves once this page may run TREVA.
var lockName = 'treva.scenario';
function holdLock(ifAvailable) {
  var held = false;
  return new Promise(function (granted) {
    navigator.locks
      .request(lockName, {ifAvailable: ifAvailable}, function (lock) {
        granted(!!lock);
        if (!lock) return null;
        held = true;
        return new Promise(function (release) {
          channel.onmessage = function (e) {
            if (e.data !== 'take-over') return;
            giveUp();
            release();
          };
        });
      })
      .catch(function () {
        // Taken from this page by force; or refused (a page opened from a
        // file), when the page runs as where there are no locks.
        if (held) giveUp();
        else granted(true);
      });
  });
}
var channel = null;
function giveUp() {
  if (givenUp) return;
  givenUp = true;
  var box = document.createElement('dialog');
  box.className = 'message';
  box.dataset.kind = 'taken-over';
  var text = document.createElement('p');
  text.className = 'message-text';
  text.textContent =
    'TREVA was taken over in another tab or window of this browser. Every roll made here is kept and goes on there; this tab keeps nothing more.';
  var again = document.createElement('a');
  again.href = './';
  again.textContent = 'Use TREVA here again';
  box.append(text, again);
  // Nothing done here after this point would be kept: the page stays behind the box.
  box.addEventListener('cancel', function (e) {
    e.preventDefault();
  });
  document.body.appendChild(box);
  box.showModal();
}
export function claimStorage() {
  if (driveMode || !navigator.locks || !window.BroadcastChannel) return Promise.resolve();
  channel = new BroadcastChannel(lockName);
  // A reload's page may ask before the browser has let go of the lock of
  // the page it replaces: asked again a few times before the player is.
  var tries = 0;
  function tryLock() {
    return holdLock(true).then(function (held) {
      if (held || ++tries >= 4) return held;
      return new Promise(function (later) {
        setTimeout(later, 250);
      }).then(tryLock);
    });
  }
  return tryLock().then(function (held) {
    if (held) return;
    return messageBox(
      'open-elsewhere',
      'TREVA!',
      'TREVA is open in another tab or window of this browser, and only one may keep the scenario. Take it over here? The other stops, keeping every roll made there, and this one goes on with them.',
      [
        {text: 'Take Over', answer: 'take-over'},
        {text: 'Cancel', answer: 'cancel'},
      ],
    ).then(function (answer) {
      if (answer !== 'take-over') {
        var notice = document.getElementById('storage-notice');
        notice.textContent = 'TREVA is open in another tab or window of this browser. Reload this one to take it over.';
        notice.hidden = false;
        return new Promise(function () {}); // not started
      }
      channel.postMessage('take-over');
      return holdLock(false);
    });
  });
}
