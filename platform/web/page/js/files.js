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
      .showOpenFilePicker({types: [{description: 'TREVA scenarios', accept: {'application/octet-stream': ['.trv']}}]})
      .then(
        function (handles) {
          return handles[0].getFile().then(function (file) {
            fileHandles[file.name] = handles[0];
            return readChosen([file]);
          });
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
export function syncFile(path) {
  var bytes;
  try {
    bytes = FS.readFile(path);
    delete unreadable[path];
  } catch (e) {
    // No file yet is no fault (a scenario taken up from the browser's
    // storage is written when it is saved); a file the page cannot read
    // is, said once rather than after every click that follows.
    if (!unreadable[path] && FS.analyzePath(path).exists) {
      unreadable[path] = true;
      showError(
        'Save',
        'Could not save "' +
          path +
          '": the page cannot read what TREVA wrote. The scenario is still kept in this browser.',
      );
    }
    return;
  }
  if (sameBytes(bytes, filesShown[path])) return;
  filesShown[path] = bytes;
  var handle = fileHandles[path];
  if (handle) {
    handle
      .createWritable()
      .then(function (out) {
        return out.write(bytes).then(function () {
          return out.close();
        });
      })
      .catch(function (e) {
        delete filesShown[path];
        showError(
          'Save',
          'Could not save "' + path + '": ' + e.message + '. The scenario is still kept in this browser.',
        );
      });
    return;
  }
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
// What the player's file holds, as far as the page knows.
export function shownBytes(path) {
  return filesShown[path];
}
