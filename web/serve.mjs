// Serves the web build on 127.0.0.1 for trying it in a browser, with the
// server the tests and tools use (lib/static_server.mjs): every answer says
// "Cache-Control: no-cache", so a reload shows a new build.
//
//   web/serve [--port N] [FOLDER]
//
// FOLDER is build-web/web (built by `cmake --build --preset web`) unless
// given; the port is 8080 unless given. It builds nothing.
import {existsSync} from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {parseArgs} from 'node:util';

import {startStaticServer} from './lib/static_server.mjs';

const repository = path.join(path.dirname(fileURLToPath(import.meta.url)), '..');

function fail(message) {
  process.stderr.write(`web/serve: ${message}\n`);
  process.exit(1);
}

let options;
try {
  options = parseArgs({options: {port: {type: 'string', default: '8080'}}, allowPositionals: true});
} catch (error) {
  fail(`${error.message} (web/serve [--port N] [FOLDER])`);
}
const port = Number(options.values.port);
if (!Number.isInteger(port) || port < 0 || port > 65535) fail(`--port takes a number from 0 to 65535`);
const folder = path.resolve(options.positionals[0] ?? path.join(repository, 'build-web', 'web'));
if (!existsSync(path.join(folder, 'index.html'))) {
  fail(`no index.html in ${folder}; build it with \`cmake --preset web && cmake --build --preset web\``);
}
try {
  const {url} = await startStaticServer(folder, {port});
  process.stdout.write(`Serving ${folder} at ${url} (Ctrl+C stops)\n`);
} catch (error) {
  fail(`cannot listen on 127.0.0.1:${port}: ${error.code ?? error.message}`);
}
