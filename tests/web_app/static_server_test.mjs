// web/lib/static_server.mjs: what a browser gets from it.
//   node --test tests/web_app/static_server_test.mjs

import assert from 'node:assert/strict';
import {mkdir, mkdtemp, rm, symlink, writeFile} from 'node:fs/promises';
import {request} from 'node:http';
import {connect} from 'node:net';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {gunzipSync} from 'node:zlib';
import {after, before, describe, test} from 'node:test';
import {startStaticServer} from '../../web/lib/static_server.mjs';

let folder;
let outside;
let server;

before(async () => {
  folder = await mkdtemp(join(tmpdir(), 'treva-static-'));
  outside = await mkdtemp(join(tmpdir(), 'treva-outside-'));
  await writeFile(join(outside, 'secret.txt'), 'not to be served');
  await mkdir(join(folder, 'pictures'));
  await mkdir(join(folder, 'guide'));
  const files = {
    'index.html': '<!DOCTYPE html><title>page</title>',
    'treva.js': 'var Module;',
    'treva.wasm': Buffer.from([0, 0x61, 0x73, 0x6d, 1, 0, 0, 0]),
    'manifest.webmanifest': '{}',
    'pictures/treva.svg': '<svg/>',
    'pictures/109 copy.PNG': 'upper-case extension',
    'guide/index.html': '<!DOCTYPE html><title>guide</title>',
    'notes.unknown': '?',
  };
  for (const [name, content] of Object.entries(files)) await writeFile(join(folder, name), content);
  server = await startStaticServer(folder);
});

after(async () => {
  await server?.close();
  await rm(folder, {recursive: true, force: true});
  await rm(outside, {recursive: true, force: true});
});

// A raw request, so that paths reach the server as written (fetch would
// normalise "..").
function get(path, method = 'GET', headers = {}) {
  const {port} = new URL(server.url);
  return new Promise((resolve, reject) => {
    const req = request({host: '127.0.0.1', port, path, method, headers, agent: false}, (response) => {
      const chunks = [];
      response.on('data', (chunk) => chunks.push(chunk));
      response.on('end', () =>
        resolve({status: response.statusCode, headers: response.headers, body: Buffer.concat(chunks)}),
      );
    });
    req.on('error', reject);
    req.end();
  });
}

test('a folder that does not exist is refused at start', async () => {
  await assert.rejects(startStaticServer(join(folder, 'missing')));
  await assert.rejects(startStaticServer(join(folder, 'treva.js')), /not a folder/);
});

// The page's own types (its document, module script and stylesheet) are
// held by the browser tests: under another type a browser does not run it.
describe('types and headers', () => {
  const expected = {
    '/treva.wasm': 'application/wasm',
    '/manifest.webmanifest': 'application/manifest+json',
    '/pictures/treva.svg': 'image/svg+xml',
    '/pictures/109%20copy.PNG': 'image/png',
    '/notes.unknown': 'application/octet-stream',
  };
  for (const [path, type] of Object.entries(expected)) {
    test(`${path} is ${type}, not to be cached unchecked`, async () => {
      const answer = await get(path);
      assert.equal(answer.status, 200);
      assert.equal(answer.headers['content-type'], type);
      assert.equal(answer.headers['cache-control'], 'no-cache');
      assert.equal(Number(answer.headers['content-length']), answer.body.length);
    });
  }
  test('HEAD gives the headers and no body', async () => {
    const answer = await get('/treva.js', 'HEAD');
    assert.equal(answer.status, 200);
    assert.equal(answer.headers['content-length'], '11');
    assert.equal(answer.body.length, 0);
  });
  test('text and WebAssembly go gzipped to a browser that takes it, pictures as they are', async () => {
    for (const [path, gzipped] of [
      ['/treva.wasm', true],
      ['/treva.js', true],
      ['/pictures/109.png', false],
    ]) {
      const plain = await get(path);
      const asked = await get(path, 'GET', {'Accept-Encoding': 'gzip, deflate, br'});
      assert.equal(plain.headers['content-encoding'], undefined, path);
      assert.equal(asked.headers['content-encoding'], gzipped ? 'gzip' : undefined, path);
      assert.deepEqual(gzipped ? gunzipSync(asked.body) : asked.body, plain.body, path);
    }
  });
  test('other methods are refused', async () => {
    const answer = await get('/treva.js', 'POST');
    assert.equal(answer.status, 405);
    assert.equal(answer.headers.allow, 'GET, HEAD');
  });
});

describe('folders', () => {
  test('the root and a folder answer with their index.html', async () => {
    assert.match((await get('/')).body.toString(), /<title>page</);
    assert.match((await get('/guide/')).body.toString(), /<title>guide</);
  });
  test('a folder without its slash is sent to it, so relative links resolve', async () => {
    const answer = await get('/guide');
    assert.equal(answer.status, 301);
    assert.equal(answer.headers.location, '/guide/');
  });
  test('a folder without index.html, and a missing file, are not found', async () => {
    assert.equal((await get('/pictures/')).status, 404);
    assert.equal((await get('/nothing.js')).status, 404);
  });
});

describe('nothing outside the folder', () => {
  test('climbing out with .. is refused', async () => {
    for (const path of ['/../secret.txt', '/%2e%2e/secret.txt', '/pictures/..%2f..%2fsecret.txt']) {
      const answer = await get(path.replace('secret.txt', `${outside.split('/').pop()}/secret.txt`));
      assert.notEqual(answer.status, 200, path);
      assert.doesNotMatch(answer.body.toString(), /not to be served/, path);
    }
  });
  test('a badly encoded path is a bad request', async () => {
    assert.equal((await get('/%E0%A4%A')).status, 400);
  });
  test('a link inside the folder is followed, as a web server does', async () => {
    await symlink(join(folder, 'guide'), join(folder, 'linked'));
    assert.match((await get('/linked/')).body.toString(), /<title>guide</);
  });
});

describe('closing', () => {
  // Chromium leaves connections open, some with a request half sent; none may
  // hold the close up.
  test('close ends with a connection kept open and one in the middle of a request', async () => {
    const own = await startStaticServer(folder);
    const {port} = new URL(own.url);
    // fetch keeps its connection open for the next request.
    await (await fetch(own.url)).text();
    const halfway = connect(Number(port), '127.0.0.1');
    halfway.on('error', () => {});
    await new Promise((resolve) => halfway.once('connect', resolve));
    halfway.write('GET /index.html HTTP/1.1\r\nHost: 127.0.0.1\r\n');
    await new Promise((resolve) => setTimeout(resolve, 100));
    const closed = await Promise.race([
      own.close().then(() => 'closed'),
      new Promise((resolve) => setTimeout(() => resolve('hung'), 3000).unref()),
    ]);
    halfway.destroy();
    assert.equal(closed, 'closed');
    await assert.rejects(fetch(own.url));
  });
});
