// The page's side of TREVA's windows: it makes the elements a window's
// template asks for, reads them back, and hands the player's input to the
// program. What a window does is the program's; nothing here decides it.
//
// The program's side (web_layer.js) reaches the page through
// window.TrevaPage, which is in place before start() loads the program.
import {
  addControl,
  addItem,
  copyText,
  isEnabled,
  selectedRows,
  setChart,
  setEnabled,
  setRows,
  setSelection,
  setText,
  showPicture,
  text,
} from './js/controls.js';
import {askOpenPath, askSavePath, syncFile} from './js/files.js';
import {buildFrame, closeFrame, openDocument, setCaption, setMenuItemEnabled, setModified} from './js/frame.js';
import {askSaveChanges, showError, wakeWaiting, waits} from './js/program.js';
import {driveDone, driveInput, isShown, photograph, selectorOf, start} from './js/start.js';
import {keep, readSetting, writeSetting} from './js/storage.js';
import {
  activate,
  captionHeight,
  control,
  createWindow,
  deskRect,
  endWindow,
  focusFirst,
  moveWindow,
  showWindow,
  waitModal,
  windowRect,
} from './js/windows.js';

window.TrevaPage = {
  waiting: waits(),
  wakeWaiting: wakeWaiting,
  start: start,
  buildFrame: buildFrame,
  createWindow: createWindow,
  addControl: addControl,
  showWindow: showWindow,
  focusFirst: focusFirst,
  endWindow: endWindow,
  windowRect: windowRect,
  moveWindow: moveWindow,
  captionHeight: captionHeight,
  deskRect: deskRect,
  readSetting: readSetting,
  writeSetting: writeSetting,
  activate: activate,
  control: control,
  setText: setText,
  text: text,
  setChecked: function (w, c, checked) {
    var e = control(w, c);
    if (e && 'checked' in e) e.checked = checked;
  },
  isChecked: function (w, c) {
    var e = control(w, c);
    return !!(e && e.checked);
  },
  setEnabled: setEnabled,
  isEnabled: isEnabled,
  addItem: addItem,
  setSelection: setSelection,
  selection: function (w, c) {
    var e = control(w, c);
    return e && e.tagName === 'SELECT' ? e.selectedIndex : -1;
  },
  itemCount: function (w, c) {
    var e = control(w, c);
    return e && e.tagName === 'SELECT' ? e.options.length : 0;
  },
  itemText: function (w, c, i) {
    var e = control(w, c);
    return e && e.options && e.options[i] ? e.options[i].text : '';
  },
  setImage: function (w, c, bitmap) {
    var e = control(w, c);
    if (e && e.tagName === 'IMG') showPicture(e, bitmap);
  },
  image: function (w, c) {
    var e = control(w, c);
    return e && e.tagName === 'IMG' ? Number(e.dataset.image) : 0;
  },
  focusSelectAll: function (w, c) {
    var e = control(w, c);
    if (!e) return;
    e.focus({preventScroll: true});
    if (e.select) e.select();
  },
  setRows: setRows,
  selectedRows: selectedRows,
  setChart: setChart,
  copyText: copyText,
  setCaption: setCaption,
  setModified: setModified,
  setMenuItemEnabled: setMenuItemEnabled,
  closeFrame: closeFrame,
  openDocument: openDocument,
  waitModal: waitModal,
  askOpenPath: askOpenPath,
  askSavePath: askSavePath,
  askSaveChanges: askSaveChanges,
  showError: showError,
  syncFile: syncFile,
  keep: keep,
  selectorOf: selectorOf,
  isShown: isShown,
  driveInput: driveInput,
  driveDone: driveDone,
  photograph: photograph,
};

start();
