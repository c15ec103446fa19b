// The bridge between the program and the page: each function of the window
// layer's page side hands over to TrevaPage (page.js), which makes and reads
// the page's elements. Functions that wait for the player suspend the program
// (Asyncify) and let the page go on; they wake in the reverse order of their
// waiting, as boxes opened from boxes end.
mergeInto(LibraryManager.library, {
  $TrevaWait__deps: ['$Asyncify'],
  $TrevaWait: function (start) {
    var entry = null;
    var value = Asyncify.handleSleep(function (wakeUp) {
      entry = {wakeUp: wakeUp, ready: false, value: 0, data: null};
      start(function (result) {
        entry.ready = true;
        entry.value = result;
        TrevaPage.wakeWaiting();
      });
    });
    if (entry && !entry.ready && entry.data === null) {
      entry.data = Asyncify.currData;
      TrevaPage.waiting.push(entry);
    }
    return value;
  },
  $TrevaText: function (text) {
    if (text === null || text === undefined) return 0;
    var size = lengthBytesUTF8(text) + 1;
    var p = _malloc(size);
    stringToUTF8(text, p, size);
    return p;
  },

  web_buildFrame: function (menu, strip) {
    TrevaPage.buildFrame(JSON.parse(UTF8ToString(menu)), JSON.parse(UTF8ToString(strip)));
  },
  web_createWindow: function (w, template, title, width, height, pointSize, modal, closeBox, escapeCloses, owner) {
    TrevaPage.createWindow(
      w,
      template,
      UTF8ToString(title),
      width,
      height,
      pointSize,
      !!modal,
      !!closeBox,
      !!escapeCloses,
      owner,
    );
  },
  web_addControl: function (
    w,
    id,
    kind,
    caption,
    x,
    y,
    width,
    height,
    style,
    capacity,
    bitmap,
    group,
    focusable,
    right,
    bottom,
    name,
  ) {
    // One control of the template, named part by part for the page.
    TrevaPage.addControl(w, {
      id: id,
      kind: UTF8ToString(kind),
      caption: UTF8ToString(caption),
      x: x,
      y: y,
      width: width,
      height: height,
      style: UTF8ToString(style),
      capacity: capacity,
      bitmap: bitmap,
      group: group,
      focusable: !!focusable,
      right: right,
      bottom: bottom,
      name: UTF8ToString(name),
    });
  },
  web_showWindow: function (w) {
    TrevaPage.showWindow(w);
  },
  web_focusFirst: function (w) {
    return TrevaPage.focusFirst(w);
  },
  web_endWindow: function (w, keep) {
    TrevaPage.endWindow(w, !!keep);
  },
  $TrevaRect: function (rect, out) {
    if (!rect) return 0;
    for (var i = 0; i < 4; i++) HEAP32[(out >> 2) + i] = Math.round(rect[i]);
    return 1;
  },
  web_windowRect__deps: ['$TrevaRect'],
  web_windowRect: function (w, out) {
    return TrevaRect(TrevaPage.windowRect(w), out);
  },
  web_deskRect__deps: ['$TrevaRect'],
  web_deskRect: function (out) {
    TrevaRect(TrevaPage.deskRect(), out);
  },
  web_screenRect__deps: ['$TrevaRect'],
  web_screenRect: function (out) {
    TrevaRect([0, 0, screen.width, screen.height], out);
  },
  web_moveWindow: function (w, x, y) {
    TrevaPage.moveWindow(w, x, y);
  },
  web_captionHeight: function (w) {
    return TrevaPage.captionHeight(w);
  },
  web_readSetting__deps: ['$TrevaText'],
  web_readSetting: function (key) {
    return TrevaText(TrevaPage.readSetting(UTF8ToString(key)));
  },
  web_writeSetting: function (key, value) {
    TrevaPage.writeSetting(UTF8ToString(key), UTF8ToString(value));
  },
  web_activate: function (w) {
    TrevaPage.activate(w);
  },
  web_hasControl: function (w, c) {
    return TrevaPage.control(w, c) ? 1 : 0;
  },
  web_setText__deps: ['$TrevaText'],
  web_setText: function (w, c, text) {
    TrevaPage.setText(w, c, UTF8ToString(text));
  },
  web_text__deps: ['$TrevaText'],
  web_text: function (w, c) {
    return TrevaText(TrevaPage.text(w, c));
  },
  web_setChecked: function (w, c, checked) {
    TrevaPage.setChecked(w, c, !!checked);
  },
  web_isChecked: function (w, c) {
    return TrevaPage.isChecked(w, c) ? 1 : 0;
  },
  web_setEnabled: function (w, c, enabled) {
    TrevaPage.setEnabled(w, c, !!enabled);
  },
  web_isEnabled: function (w, c) {
    return TrevaPage.isEnabled(w, c) ? 1 : 0;
  },
  web_addItem: function (w, c, item) {
    TrevaPage.addItem(w, c, UTF8ToString(item));
  },
  web_setSelection: function (w, c, index) {
    TrevaPage.setSelection(w, c, index);
  },
  web_selection: function (w, c) {
    return TrevaPage.selection(w, c);
  },
  web_itemCount: function (w, c) {
    return TrevaPage.itemCount(w, c);
  },
  web_itemText__deps: ['$TrevaText'],
  web_itemText: function (w, c, index) {
    return TrevaText(TrevaPage.itemText(w, c, index));
  },
  web_setImage: function (w, c, bitmap) {
    TrevaPage.setImage(w, c, bitmap);
  },
  web_image: function (w, c) {
    return TrevaPage.image(w, c);
  },
  web_focusSelectAll: function (w, c) {
    TrevaPage.focusSelectAll(w, c);
  },
  web_setRows: function (w, c, count) {
    TrevaPage.setRows(w, c, count);
  },
  web_selectedRows__deps: ['$TrevaText'],
  web_selectedRows: function (w, c) {
    return TrevaText(TrevaPage.selectedRows(w, c).join(','));
  },
  web_setChart: function (w, c, bars) {
    TrevaPage.setChart(w, c, JSON.parse(UTF8ToString(bars)));
  },
  web_copyText: function (text) {
    TrevaPage.copyText(UTF8ToString(text));
  },
  web_setCaption: function (caption) {
    TrevaPage.setCaption(UTF8ToString(caption));
  },
  web_setModified: function (modified) {
    TrevaPage.setModified(!!modified);
  },
  web_setMenuItemEnabled: function (command, enabled) {
    TrevaPage.setMenuItemEnabled(command, !!enabled);
  },
  web_closeFrame: function () {
    TrevaPage.closeFrame();
  },
  web_openDocument: function (path) {
    return TrevaPage.openDocument(UTF8ToString(path)) ? 1 : 0;
  },
  web_syncFile: function (path) {
    TrevaPage.syncFile(UTF8ToString(path));
  },
  web_keep: function (record, saved, name, history) {
    return TrevaPage.keep(
      HEAPU8.slice(record, record + 144),
      HEAPU8.slice(saved, saved + 144),
      UTF8ToString(name),
      history ? UTF8ToString(history) : null,
    )
      ? 1
      : 0;
  },

  web_waitModal__deps: ['$TrevaWait'],
  web_waitModal: function (w) {
    return TrevaWait(function (done) {
      TrevaPage.waitModal(w, done);
    });
  },
  web_askOpenPath__deps: ['$TrevaWait', '$TrevaText'],
  web_askOpenPath: function (startName) {
    var start = UTF8ToString(startName);
    return TrevaWait(function (done) {
      TrevaPage.askOpenPath(start).then(function (path) {
        done(TrevaText(path));
      });
    });
  },
  web_askSavePath__deps: ['$TrevaWait', '$TrevaText'],
  web_askSavePath: function (proposedName) {
    var proposed = UTF8ToString(proposedName);
    return TrevaWait(function (done) {
      TrevaPage.askSavePath(proposed).then(function (path) {
        done(TrevaText(path));
      });
    });
  },
  web_askSaveChanges__deps: ['$TrevaWait'],
  web_askSaveChanges: function (name) {
    var shown = UTF8ToString(name);
    return TrevaWait(function (done) {
      TrevaPage.askSaveChanges(shown).then(done);
    });
  },
  web_showError__deps: ['$TrevaWait'],
  web_showError: function (title, text) {
    var t = UTF8ToString(title),
      x = UTF8ToString(text);
    return TrevaWait(function (done) {
      TrevaPage.showError(t, x).then(function () {
        done(0);
      });
    });
  },
  web_driveInput__deps: ['$TrevaWait'],
  web_driveInput: function (kind, w, c, text) {
    var shown = UTF8ToString(text);
    var action = {kind: UTF8ToString(kind), selector: TrevaPage.selectorOf(w, c), text: shown, value: shown};
    return TrevaWait(function (done) {
      TrevaPage.driveInput(action).then(function () {
        done(0);
      });
    });
  },
  web_photograph__deps: ['$TrevaWait'],
  web_photograph: function (w, name) {
    var shown = UTF8ToString(name);
    return TrevaWait(function (done) {
      TrevaPage.photograph(w, shown).then(function (taken) {
        done(taken ? 1 : 0);
      });
    });
  },
  web_isShown: function (w) {
    return TrevaPage.isShown(w) ? 1 : 0;
  },
  web_driveDone: function (status, out, err) {
    TrevaPage.driveDone(status, UTF8ToString(out), UTF8ToString(err));
  },
});
