// web/drive's own side of the drive, on a stand-in page (drive-page/) that
// answers the protocol without the program: what reaches the page, the
// person's input it asks for, the files written back, the bytes printed,
// the exit status, --batch and the time limit; and the files the real page
// hands back.
import assert from 'node:assert/strict';
import {spawn} from 'node:child_process';
import {mkdtempSync} from 'node:fs';
import {chmod, lstat, mkdir, readdir, readFile, rm, stat, symlink, writeFile} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {after, describe, test} from 'node:test';
import {fileURLToPath} from 'node:url';

import {webDir} from '../../web/lib/browser.mjs';
import {historyPathFor, scenarioPathOf} from '../../web/lib/drive.mjs';
import {runCli} from './support.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const drive = path.join(here, '..', '..', 'web', 'drive');
const standIn = path.join(here, 'drive-page');

function run(args, {input, env = {}, cwd} = {}) {
  return new Promise((resolve, reject) => {
    const child = spawn(drive, args, {cwd, env: {...process.env, TREVA_WEB_DIR: standIn, ...env}});
    const out = [];
    const err = [];
    child.stdout.on('data', (chunk) => out.push(chunk));
    child.stderr.on('data', (chunk) => err.push(chunk));
    child.on('error', reject);
    child.on('close', (status) => resolve({status, stdout: Buffer.concat(out), stderr: Buffer.concat(err)}));
    child.stdin.end(input ?? Buffer.alloc(0));
  });
}

function batchRequest(sessions) {
  return Buffer.concat(
    sessions.flatMap((args) => [
      Buffer.from(`${args.length}\0`),
      ...args.map((a) => Buffer.concat([Buffer.from(a), Buffer.from([0])])),
    ]),
  );
}

function batchAnswers(bytes) {
  const answers = [];
  let rest = bytes;
  while (rest.includes(0x0a)) {
    const line = rest.indexOf(0x0a);
    const [status, outLength, errLength] = rest.subarray(0, line).toString().split(' ').map(Number);
    rest = rest.subarray(line + 1);
    answers.push({
      status,
      stdout: rest.subarray(0, outLength),
      stderr: rest.subarray(outLength, outLength + errLength),
    });
    rest = rest.subarray(outLength + errLength);
  }
  assert.equal(rest.length, 0, 'bytes after the last answer');
  return answers;
}

const scratch = mkdtempSync(path.join(tmpdir(), 'treva-drive-protocol-'));
after(() => rm(scratch, {recursive: true, force: true}));

describe('the scenario file and its history', () => {
  test('the file is the last --scenario among the global options; its history is named after it', () => {
    assert.equal(scenarioPathOf(['--scenario', 'a.trv', '--seed', '1', '--scenario', 'b.trv', '101']), 'b.trv');
    assert.equal(scenarioPathOf(['--seed', '7', '101', '--scenario', 'late.trv']), null);
    assert.equal(scenarioPathOf(['--scenario']), null);
    assert.equal(scenarioPathOf(['--scenario', '', '101']), null);
    // Its history drops a .trv of any case and adds .history.txt.
    assert.equal(historyPathFor('june.trv'), 'june.history.txt');
    assert.equal(historyPathFor('dir/JUNE.Trv'), 'dir/JUNE.history.txt');
    assert.equal(historyPathFor('june.sav'), 'june.sav.history.txt');
    assert.equal(historyPathFor('games.trv/june'), 'games.trv/june.history.txt');
    assert.equal(historyPathFor('dir/.trv'), 'dir/.trv.history.txt');
    assert.equal(historyPathFor('dir\\june.trv'), 'dir\\june.history.txt');
  });
});

describe('one drive', () => {
  test('the real page keeps the history of a scenario named only ".trv" where treva-cli keeps it', async () => {
    const written = {};
    for (const by of ['page', 'treva-cli']) {
      const folder = path.join(scratch, `bare-${by}`);
      await mkdir(folder);
      const scenario = path.join(folder, '.trv');
      await runCli('new', scenario);
      const session = ['--scenario', scenario, '--seed', '7'];
      if (by === 'page')
        assert.equal((await run([...session, '101', '1039'], {env: {TREVA_WEB_DIR: webDir()}})).status, 0);
      else await runCli(...session, 'drive', '101', '1039');
      written[by] = (await readdir(folder)).sort();
    }
    assert.deepEqual(written.page, ['.trv', '.trv.history.txt']);
    assert.deepEqual(written.page, written['treva-cli']);
  });

  test("a person's input reaches the page's controls as real input", async () => {
    const {status, stdout} = await run(['input', 'x»7', '2']);
    assert.equal(status, 0);
    assert.deepEqual(JSON.parse(stdout), {
      list: '2',
      edit: 'x»7', // the old text gone, the new text typed
      focus: 'edit',
      // Clicks are the browser's own (trusted) events, in the order asked.
      events: 'click:button:true change:list:false click:edit:true',
      // Typing is key presses: Control, A, Backspace, then x and 7 (» has no
      // key and goes in as a character).
      keys: 5,
      missing: 'refused', // input on an element that is not there fails the call
    });
  });

  test('files are written back whole, and only those the drive was given; a write that fails ends with status 2', async () => {
    await writeFile(path.join(scratch, 'july.trv'), 'old');
    await chmod(path.join(scratch, 'july.trv'), 0o640);
    await writeFile(path.join(scratch, 'real-history.txt'), '');
    await symlink('real-history.txt', path.join(scratch, 'july.history.txt'));
    const written = ['--scenario', 'july.trv', 'write', '0', 'july.trv', '+new', 'july.history.txt', 'rolls'];
    const {status, stdout} = await run(written, {cwd: scratch});
    assert.equal(status, 0);
    assert.equal(stdout.toString(), 'wrote\n');
    assert.equal(await readFile(path.join(scratch, 'july.trv'), 'utf8'), 'old+new');
    assert.equal(await readFile(path.join(scratch, 'july.history.txt'), 'utf8'), 'rolls');
    assert.equal((await stat(path.join(scratch, 'july.trv'))).mode & 0o777, 0o640, 'the file keeps its mode');
    assert.ok((await lstat(path.join(scratch, 'july.history.txt'))).isSymbolicLink(), 'a link stays a link');
    assert.equal(await readFile(path.join(scratch, 'real-history.txt'), 'utf8'), 'rolls');

    // A history path that is a folder cannot be renamed over.
    await writeFile(path.join(scratch, 'aug.trv'), 'kept');
    await mkdir(path.join(scratch, 'aug.history.txt'));
    const failed = ['--scenario', 'aug.trv', 'write', '0', 'aug.history.txt', 'x', 'elsewhere.txt', 'x'];
    const refused = await run(failed, {cwd: scratch});
    assert.equal(refused.status, 2);
    assert.equal(refused.stdout.toString(), 'wrote\n');
    assert.match(
      refused.stderr.toString(),
      /^web\/drive: cannot write "aug\.history\.txt": [^\n]+\nweb\/drive: cannot write "elsewhere\.txt": [^\n]+\n$/,
    );
    const left = await readdir(scratch);
    assert.ok(!left.includes('elsewhere.txt'));
    assert.deepEqual(
      left.filter((f) => f.endsWith('.tmp')),
      [],
      'no temporary file left',
    );
  });

  test('no browser and no page each end with one line and status 2', async () => {
    const cases = [
      [
        {TREVA_CHROMIUM: path.join(scratch, 'no-chromium')},
        /^web\/drive: cannot start Chromium \([^\n]*no-chromium\)[^\n]*\n$/,
      ],
      [{TREVA_WEB_DIR: scratch}, /^web\/drive: no page in [^\n]+\n$/],
    ];
    for (const [env, told] of cases) {
      const {status, stdout, stderr} = await run(['echo', '0'], {env});
      assert.equal(status, 2);
      assert.equal(stdout.length, 0);
      assert.match(stderr.toString(), told);
    }
  });
});

describe('--batch', () => {
  test('each session is answered in turn with its status, output and error; the page gets its arguments and the files that can be read, keyed as given', async () => {
    await writeFile(path.join(scratch, 'june.TRV'), 'scenario bytes');
    await writeFile(path.join(scratch, 'june.history.txt'), 'history text');
    await writeFile(path.join(scratch, 'locked.trv'), 'unreadable');
    await chmod(path.join(scratch, 'locked.trv'), 0);
    const sessions = [
      ['--seed', '5', '--scenario', 'june.TRV', 'echo', '4', 'wrong »'],
      ['--scenario', 'missing.trv', 'echo', '0'],
      ['--scenario', 'locked.trv', 'echo', '0'],
      [],
      ['hang'],
      ['bad'],
      ['echo', '1'],
    ];
    const request = Buffer.concat([batchRequest(sessions), Buffer.from('3\0echo\x000\0\xff\0', 'latin1')]);
    const {status, stdout} = await run(['--batch'], {input: request, cwd: scratch, env: {TREVA_DRIVE_TIMEOUT: '3'}});
    assert.equal(status, 0);
    const answers = batchAnswers(stdout);
    assert.deepEqual(
      answers.map((a) => a.status),
      [4, 0, 0, 2, 2, 2, 1, 0],
    );
    const files = {'june.TRV': 'scenario bytes', 'june.history.txt': 'history text'};
    assert.deepEqual(JSON.parse(answers[0].stdout), {args: sessions[0], files});
    assert.deepEqual(answers[0].stderr, Buffer.from('wrong »'));
    assert.deepEqual(JSON.parse(answers[1].stdout).files, {});
    // Root reads any file, mode or not.
    if (process.getuid?.() !== 0) assert.deepEqual(JSON.parse(answers[2].stdout).files, {});
    // A session without arguments reaches the page as one (which, here, never answers).
    assert.match(answers[3].stderr.toString(), /did not finish the drive within 3 s/);
    assert.equal(answers[4].stderr.toString(), 'web/drive: the page did not finish the drive within 3 s\n');
    // A page that answers with no status, output and error is told in one line.
    assert.match(answers[5].stderr.toString(), /^web\/drive: [^\n]+\n$/);
    assert.deepEqual(JSON.parse(answers[6].stdout).args, ['echo', '1'], 'a session after one that failed is driven');
    // What is not UTF-8 reaches the page as U+FFFD, as on the command line.
    assert.deepEqual(JSON.parse(answers[7].stdout).args, ['echo', '0', '\ufffd']);
  });

  test('a bad count or a session cut short ends the batch with status 2 after the sessions before it', async () => {
    const badCount = await run(['--batch'], {
      input: Buffer.concat([batchRequest([['echo', '0']]), Buffer.from('two\0echo\0')]),
    });
    assert.equal(badCount.status, 2);
    assert.equal(batchAnswers(badCount.stdout).length, 1);
    assert.equal(badCount.stderr.toString(), 'web/drive: --batch: bad count of arguments "two"\n');

    const cut = await run(['--batch'], {input: Buffer.from('3\0echo\x000\0')});
    assert.equal(cut.status, 2);
    assert.equal(cut.stdout.length, 0);
    assert.equal(cut.stderr.toString(), 'web/drive: --batch: a session is cut short\n');
  });
});
