// What Lighthouse makes of the page, for a phone (its default: a mid-range
// phone on a slow network, both simulated) and for a desktop, beside the time
// to the program's first window of bench/web_load. Figures only; nothing
// passes or fails. Run through bench/web_lighthouse:
//
//   bench/web_lighthouse [--runs N] [LABEL=]FOLDER...
//
// Each FOLDER is a built page (default $TREVA_WEB_DIR, else build-web/web),
// served by the tests' static server (gzipped; --uncompressed LABEL serves
// that one as it is, as the server did before it compressed); several folders (a build before a
// change and one after) are measured in one run, taking turns, so that they
// see the machine alike. Lighthouse starts Chromium ($CHROME_PATH, else
// /usr/bin/chromium) headless with a fresh profile for every run.

import {spawn} from 'node:child_process';
import {access} from 'node:fs/promises';
import {basename, dirname, join, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';
import {startStaticServer} from '../web/lib/static_server.mjs';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const lighthouseCli = join(repo, 'node_modules', 'lighthouse', 'cli', 'index.js');
const FORMS = ['mobile', 'desktop'];

function parseArguments(argv) {
  const options = {runs: 3, loads: 10, folders: [], uncompressed: new Set()};
  for (let i = 0; i < argv.length; ++i) {
    const arg = argv[i];
    const count = /^[1-9][0-9]*$/.test(argv[i + 1] ?? '') ? Number(argv[i + 1]) : 0;
    if (arg === '--runs' && count) ((options.runs = count), ++i);
    else if (arg === '--loads' && count) ((options.loads = count), ++i);
    else if (arg === '--uncompressed' && argv[i + 1]) options.uncompressed.add(argv[++i]);
    else if (arg === '-h' || arg === '--help') options.help = true;
    else if (!arg.startsWith('-')) options.folders.push(arg);
    else throw new Error(`unknown or incomplete argument ${arg}`);
  }
  if (!options.folders.length) options.folders.push(process.env.TREVA_WEB_DIR || join(repo, 'build-web', 'web'));
  options.folders = options.folders.map((arg) => {
    const [, label, folder] = /^(?:([^=/]+)=)?(.*)$/.exec(arg);
    return {label: label || basename(resolve(folder)), folder};
  });
  return options;
}

function run(command, args, env = process.env) {
  return new Promise((done, fail) => {
    const child = spawn(command, args, {env, stdio: ['ignore', 'pipe', 'pipe']});
    let out = '';
    let err = '';
    child.stdout.on('data', (data) => (out += data));
    child.stderr.on('data', (data) => (err += data));
    child.on('error', fail);
    child.on('close', (status) => (status === 0 ? done(out) : fail(new Error(`${basename(command)}: ${err.trim()}`))));
  });
}

// One Lighthouse run of the performance category on a fresh profile.
async function lighthouse(url, form) {
  const chromeFlags = ['--headless=new'];
  // Chromium's sandbox cannot start as root.
  if (process.getuid?.() === 0) chromeFlags.push('--no-sandbox');
  const args = [lighthouseCli, url, '--quiet', '--output=json', '--output-path=stdout'];
  args.push('--only-categories=performance', `--chrome-flags=${chromeFlags.join(' ')}`);
  if (form === 'desktop') args.push('--preset=desktop');
  const env = {...process.env, CHROME_PATH: process.env.CHROME_PATH || '/usr/bin/chromium'};
  const report = JSON.parse(await run(process.execPath, args, env));
  if (report.runtimeError) throw new Error(`lighthouse: ${report.runtimeError.message}`);
  const audit = (id) => report.audits[id]?.numericValue;
  return {
    score: Math.round(report.categories.performance.score * 100),
    fcp: audit('first-contentful-paint'),
    lcp: audit('largest-contentful-paint'),
    tbt: audit('total-blocking-time'),
    unusedJs: report.audits['unused-javascript']?.details?.overallSavingsBytes ?? 0,
    version: report.lighthouseVersion,
    browser: report.environment?.hostUserAgent,
  };
}

// The median first window of bench/web_load's first loads, in ms.
async function firstWindow(folder, loads) {
  const out = await run(process.execPath, [join(repo, 'bench', 'web_load.mjs'), '--runs', String(loads), folder]);
  const line = /^TREVA: first window.*$/m.exec(out);
  if (!line) throw new Error(`bench/web_load printed no first window:\n${out}`);
  return Number(line[0].trim().split(/\s+/).at(-3));
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const span = (values, show) => {
  const low = Math.min(...values);
  const high = Math.max(...values);
  return low === high ? show(low) : `${show(low)}–${show(high)}`;
};
const seconds = (ms) => (ms / 1000).toFixed(1);

async function main() {
  const options = parseArguments(process.argv.slice(2));
  if (options.help) {
    console.log('usage: bench/web_lighthouse [--runs N] [--loads N] [--uncompressed LABEL] [LABEL=]FOLDER...');
    return 0;
  }
  for (const {folder} of options.folders) {
    await access(join(folder, 'index.html')).catch(() => {
      throw new Error(`no index.html in ${folder}; build it with cmake --preset web && cmake --build --preset web`);
    });
  }
  const servers = await Promise.all(
    options.folders.map(({label, folder}) => startStaticServer(folder, {compress: !options.uncompressed.has(label)})),
  );
  const results = options.folders.map(() => ({mobile: [], desktop: []}));
  let about;
  try {
    for (let round = 0; round < options.runs; ++round) {
      for (const form of FORMS) {
        for (const [i, server] of servers.entries()) {
          const result = await lighthouse(server.url, form);
          about ??= result;
          results[i][form].push(result);
        }
      }
    }
  } finally {
    await Promise.all(servers.map((server) => server.close()));
  }
  const windows = [];
  for (const {folder} of options.folders) windows.push(await firstWindow(folder, options.loads));

  console.log(`Lighthouse ${about.version}, ${about.browser}`);
  console.log(`date: ${new Date().toISOString().slice(0, 16).replace('T', ' ')} UTC`);
  console.log(`${options.runs} Lighthouse runs of each; median (lowest–highest)\n`);
  const header = ['page', 'form', 'performance', 'LCP s', 'FCP s', 'TBT ms', 'unused JS KiB', 'first window ms'];
  console.log(`| ${header.join(' | ')} |`);
  console.log(`|${header.map((_, i) => (i < 2 ? '---' : '---:')).join('|')}|`);
  for (const [i, {label}] of options.folders.entries()) {
    for (const form of FORMS) {
      const rows = results[i][form];
      const pick = (key) => rows.map((row) => row[key]);
      const cells = [
        label,
        form,
        `${median(pick('score'))} (${span(pick('score'), String)})`,
        `${seconds(median(pick('lcp')))} (${span(pick('lcp'), seconds)})`,
        seconds(median(pick('fcp'))),
        Math.round(median(pick('tbt'))),
        Math.round(median(pick('unusedJs')) / 1024),
        form === 'mobile' ? windows[i].toFixed(1) : '',
      ];
      console.log(`| ${cells.join(' | ')} |`);
    }
  }
  console.log(`\nfirst window: median of ${options.loads} first loads of bench/web_load, without throttling`);
  return 0;
}

main().then(
  (status) => process.exit(status),
  (error) => {
    console.error(`bench/web_lighthouse: ${error.message}`);
    process.exit(1);
  },
);
