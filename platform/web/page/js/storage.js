// The scenario kept in the browser, so that a reload or a closed tab takes
// it up again; a browser that does not let the page keep it is told of once.
import {driveMode} from './program.js';

var storageTold = false;
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
  var store = driveMode ? null : storage();
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
