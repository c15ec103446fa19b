// The player's files live in the program's folder under their own names;
// what the program writes there goes back to the file the player chose,
// or is handed over as a download.
import {el} from './layout.js';
import {driveMode, messageBox, showError} from './program.js';

var fileHandles = {};
var filesShown = {}; // path -> the bytes the player's file holds, as far as the page knows
export function putFile(name, bytes) {
  FS.writeFile(name, bytes);
  filesShown[name] = bytes;
}
function readChosen(files) {
  return Promise.all(
    Array.prototype.map.call(files, function (f) {
      return f.arrayBuffer().then(function (b) {
        return {name: f.name, bytes: new Uint8Array(b)};
      });
    }),
  ).then(function (read) {
    var scenario = null;
    read.forEach(function (f) {
      putFile(f.name, f.bytes);
      if (!scenario || (/\.trv$/i.test(f.name) && !/\.trv$/i.test(scenario))) scenario = f.name;
    });
    return scenario;
  });
}
export function askOpenPath() {
  if (window.showOpenFilePicker && !driveMode) {
    return window
      .showOpenFilePicker({
        multiple: true, // the scenario and, if the player wants, its roll history
        types: [
          {
            description: 'TREVA scenarios and roll histories',
            accept: {'application/octet-stream': ['.trv'], 'text/plain': ['.txt']},
          },
        ],
      })
      .then(
        function (handles) {
          return Promise.all(
            handles.map(function (handle) {
              return handle.getFile().then(function (file) {
                fileHandles[file.name] = handle;
                return file;
              });
            }),
          ).then(readChosen);
        },
        function () {
          return null;
        },
      );
  }
  return new Promise(function (resolve) {
    var input = el('input');
    input.type = 'file';
    input.accept = '.trv,.txt';
    input.multiple = true; // the scenario and, if the player wants, its roll history
    input.hidden = true;
    input.addEventListener('change', function () {
      input.remove();
      readChosen(input.files).then(resolve);
    });
    input.addEventListener('cancel', function () {
      input.remove();
      resolve(null);
    });
    document.body.appendChild(input);
    input.click();
  });
}
// A scenario's file name ends in ".trv", as the desktop programs give it:
// the caption then leaves out only that ending, and the history beside it
// is named after what comes before.
function withScenarioSuffix(name) {
  return /\.trv$/i.test(name) ? name : name + '.trv';
}
export function askSavePath(proposed) {
  if (window.showSaveFilePicker && !driveMode) {
    return window
      .showSaveFilePicker({
        suggestedName: withScenarioSuffix(proposed),
        types: [{description: 'TREVA scenarios', accept: {'application/octet-stream': ['.trv']}}],
      })
      .then(
        function (handle) {
          fileHandles[handle.name] = handle;
          delete filesShown[handle.name];
          return handle.name;
        },
        function () {
          return null;
        },
      );
  }
  var name = el('input', 'edit');
  name.type = 'text';
  name.value = withScenarioSuffix(proposed);
  name.setAttribute('aria-label', 'File name');
  return messageBox(
    'save-as',
    'Save As',
    'The scenario is saved as a download named:',
    [
      {text: 'Save', answer: 'save'},
      {text: 'Cancel', answer: 'cancel'},
    ],
    name,
  ).then(function (answer) {
    var chosen = name.value.replace(/[\\/:*?"<>|]/g, '_').trim();
    if (answer !== 'save' || !chosen) return null;
    chosen = withScenarioSuffix(chosen);
    delete filesShown[chosen];
    return chosen;
  });
}
export function sameBytes(a, b) {
  if (!a || !b || a.length !== b.length) return false;
  for (var i = 0; i < a.length; i++) if (a[i] !== b[i]) return false;
  return true;
}
var unreadable = {};
// What the program wrote at `path`, or undefined when there is nothing (a
// scenario taken up from the browser's storage is written when it is saved).
function written(path) {
  try {
    var bytes = FS.readFile(path);
    delete unreadable[path];
    return bytes;
  } catch (e) {
    // A file the page cannot read is a fault, said once rather than after
    // every click that follows.
    if (!unreadable[path] && FS.analyzePath(path).exists) {
      unreadable[path] = true;
      showError(
        'Save',
        'Could not save "' +
          path +
          '": the page cannot read what TREVA wrote. The scenario is still kept in this browser.',
      );
    }
    return undefined;
  }
}
// The roll history the program keeps beside a scenario: june.history.txt
// for june.trv.
export function historyPathOf(path) {
  // A file named only ".trv" keeps its whole name, as the desktop programs do.
  return path.replace(/([^/\\])\.trv$/i, '$1') + '.history.txt';
}
function download(path, bytes) {
  var link = el('a');
  link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
  link.download = path;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(function () {
    URL.revokeObjectURL(link.href);
  }, 10000);
}
function writeThrough(handle, bytes) {
  return handle.createWritable().then(function (out) {
    return out.write(bytes).then(function () {
      return out.close();
    });
  });
}
// A place for the history beside the scenario, chosen by the player: the
// browser opens its picker only from a click, hence the question first.
function askHistoryPlace(path, history) {
  return messageBox(
    'history-place',
    'Save',
    'The roll history of "' + path + '" goes beside it, as "' + history + '". Choose its place to save both.',
    [
      {text: 'Choose...', answer: 'choose'},
      {text: 'Cancel', answer: 'cancel'},
    ],
  ).then(function (answer) {
    if (answer !== 'choose') return null;
    return window
      .showSaveFilePicker({
        suggestedName: history,
        startIn: fileHandles[path],
        types: [{description: 'TREVA roll histories', accept: {'text/plain': ['.txt']}}],
      })
      .then(
        function (handle) {
          fileHandles[history] = handle;
          return handle;
        },
        function () {
          return null;
        },
      );
  });
}
// The scenario and its history are one record: the history is written
// first and the scenario after it, as the program writes them; when the
// scenario's file fails, the history is put back as it was.
function handOverThrough(path, bytes, history, historyBytes, before) {
  var handle = fileHandles[path];
  var historyHandle = historyBytes ? fileHandles[history] : null;
  var place = historyBytes && !historyHandle ? askHistoryPlace(path, history) : Promise.resolve(historyHandle);
  return place.then(function (historyHandle) {
    if (historyBytes && !historyHandle) {
      return showError(
        'Save',
        'Nothing was written to "' +
          path +
          '": the scenario goes with its roll history. The scenario is still kept in this browser; Save As writes both.',
      );
    }
    var historyWritten = historyHandle ? writeThrough(historyHandle, historyBytes) : Promise.resolve();
    return historyWritten
      .then(
        function () {
          return writeThrough(handle, bytes).catch(function (e) {
            var undo = historyHandle
              ? writeThrough(historyHandle, before.history || new Uint8Array()).catch(function () {})
              : Promise.resolve();
            return undo.then(function () {
              throw e;
            });
          });
        },
        function (e) {
          e.failed = history;
          throw e;
        },
      )
      .catch(function (e) {
        // Tried again after the next event.
        filesShown[path] = before.scenario;
        filesShown[history] = before.history;
        showError(
          'Save',
          'Could not save "' +
            path +
            '"' +
            (e.failed ? ': its roll history "' + e.failed + '" could not be written' : '') +
            ': ' +
            e.message +
            '. Neither file was changed; the scenario is still kept in this browser.',
        );
      });
  });
}
var handing = Promise.resolve(); // one hand-over at a time, in the order saved
export function syncFile(path) {
  var bytes = written(path);
  if (!bytes) return;
  var history = historyPathOf(path);
  var historyBytes = written(history);
  var before = {scenario: filesShown[path], history: filesShown[history]};
  if (sameBytes(bytes, before.scenario) && (!historyBytes || sameBytes(historyBytes, before.history))) return;
  filesShown[path] = bytes;
  if (historyBytes) filesShown[history] = historyBytes;
  if (fileHandles[path]) {
    // The player's history file holds what it held unless it changed.
    var historyChanged = historyBytes && !sameBytes(historyBytes, before.history) ? historyBytes : null;
    handing = handing.then(function () {
      return handOverThrough(path, bytes, history, historyChanged, before);
    });
    return;
  }
  // Downloads: the two together, whichever changed, so that the player's
  // newest two are always a pair.
  if (historyBytes) download(history, historyBytes);
  download(path, bytes);
}
// What the player's file holds, as far as the page knows.
export function shownBytes(path) {
  return filesShown[path];
}
