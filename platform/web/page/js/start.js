// Starting the program: its files in place, then its module and script.
// And what a drive (index.html?drive) asks of the page: the browser's
// driver does the player's input on the page's real controls, takes the
// scenes' pictures and is handed the files the program wrote.
import {historyPathOf, putFile, sameBytes, shownBytes} from './files.js';
import {driveMode} from './program.js';
import {claimStorage, fromBase64, takeKept, toBase64} from './storage.js';
import {windowOf} from './windows.js';

// The program's module is compiled while its script still loads. A drive
// runs a program of its own (the drive reports its errors by exceptions,
// which the page's program does without).
var programName = driveMode ? 'treva-drive' : 'treva';
function compileProgram() {
  var fetched = fetch(programName + '.wasm', {credentials: 'same-origin'});
  var streamed = WebAssembly.compileStreaming ? WebAssembly.compileStreaming(fetched) : Promise.reject();
  return streamed.catch(function () {
    // A server that does not call it application/wasm: compiled from its bytes.
    return fetch(programName + '.wasm', {credentials: 'same-origin'})
      .then(function (r) {
        return r.arrayBuffer();
      })
      .then(function (bytes) {
        return WebAssembly.compile(bytes);
      });
  });
}

export function start() {
  var compiled = compileProgram();
  if ('serviceWorker' in navigator && !driveMode && location.protocol !== 'file:')
    navigator.serviceWorker.register('sw.js').catch(function () {
      /* works without, only not offline */
    });
  var args = [];
  // The kept scenario is read once no other tab writes it.
  var ready = claimStorage();
  if (driveMode) {
    ready = window.trevaDriveSetup().then(function (setup) {
      args = setup.args;
      window.trevaDriveFiles = Object.keys(setup.files);
      window.trevaDriveSetupFiles = setup.files;
      var scenarioAt = args.indexOf('--scenario');
      if (scenarioAt >= 0 && scenarioAt + 1 < args.length) {
        var path = args[scenarioAt + 1];
        window.trevaDriveFiles = [path, historyPathOf(path)];
      }
    });
  }
  ready.catch(function (e) {
    window.trevaDriveDone({
      status: 2,
      stdout: '',
      stderr: 'treva: the page could not start the drive (' + e + ')\n',
      files: {},
    });
  });
  ready.then(function () {
    window.Module = {
      arguments: args,
      preRun: [
        function () {
          FS.mkdirTree('/files');
          FS.chdir('/files');
          if (driveMode) {
            var files = window.trevaDriveSetupFiles;
            Object.keys(files).forEach(function (path) {
              var slash = path.lastIndexOf('/');
              if (slash > 0) FS.mkdirTree(path.slice(0, slash));
              putFile(path, fromBase64(files[path]));
            });
          } else {
            takeKept();
          }
          FS.mkdirTree('/guide');
          FS.writeFile('/guide/index.html', ''); // the guide is served beside the page
        },
      ],
      instantiateWasm: function (imports, receive) {
        compiled
          .then(function (module) {
            return WebAssembly.instantiate(module, imports);
          })
          .then(function (instance) {
            receive(instance);
          });
        return {};
      },
      print: function (line) {
        console.log(line);
      },
      printErr: function (line) {
        console.error(line);
      },
      onAbort: function (what) {
        var notice = document.getElementById('storage-notice');
        notice.textContent = 'TREVA stopped: ' + what + '. The scenario as last kept is taken up at the next visit.';
        notice.hidden = false;
      },
    };
    var script = document.createElement('script');
    script.src = programName + '.js';
    document.body.appendChild(script);
  });
}

// A control as the drive's input finds it on the page.
export function selectorOf(w, c) {
  if (c === -2) return '[data-window="' + w + '"] > .titlebar > button.close';
  return '[data-window="' + w + '"] [data-control="' + c + '"]';
}
export function isShown(w) {
  var win = windowOf(w);
  return !!win && !win.frame.hidden && win.frame.isConnected;
}
export function driveInput(action) {
  return window.trevaInput(action);
}
// A scene's picture, taken by the browser's driver once the window's
// pictures are decoded and the page is drawn: a window's panel, or the
// page's header (caption, menu, strip) for the frame's.
export function photograph(w, name) {
  var win = windowOf(w);
  var shown = win ? win.frame : document.getElementById('frame');
  var pictures = Array.prototype.slice.call(shown.querySelectorAll('img[src]'));
  return Promise.all(
    pictures.map(function (img) {
      return img.decode().catch(function () {});
    }),
  )
    .then(function () {
      return new Promise(function (drawn) {
        requestAnimationFrame(function () {
          setTimeout(drawn);
        });
      });
    })
    .then(function () {
      return window.trevaPhotograph({selector: win ? '[data-window="' + w + '"]' : '#frame', name: name});
    })
    .then(
      function (taken) {
        return !!taken;
      },
      function () {
        return false;
      },
    );
}
export function driveDone(status, out, err) {
  var files = {};
  (window.trevaDriveFiles || []).forEach(function (path) {
    try {
      var bytes = FS.readFile(path);
      if (!sameBytes(bytes, shownBytes(path))) files[path] = toBase64(bytes);
    } catch (e) {
      /* not written */
    }
  });
  window.trevaDriveDone({status: status, stdout: out, stderr: err, files: files});
}
