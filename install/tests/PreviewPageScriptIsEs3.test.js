// The preview page runs in the WebBrowser control's IE8 engine: its script is plain
// ES3, defines the two functions the add-on calls at global scope, and uses no DOM
// feature that IE8 lacks.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const acorn = require('acorn');
const { templatePath } = require('./PreviewPageSupport');

const html = fs.readFileSync(templatePath, 'latin1');
const scripts = [...html.matchAll(/<script\b[^>]*>([\s\S]*?)<\/script>/gi)].map((m) => m[1]);

// Names of DOM and script features that IE8 does not have. (indexOf is not among them:
// strings have it in ES3; only arrays lack it.)
const missingInIe8 = new Set([
  'addEventListener', 'removeEventListener', 'dispatchEvent', 'getElementsByClassName',
  'textContent', 'classList', 'dataset', 'getComputedStyle', 'requestAnimationFrame',
  'naturalWidth', 'naturalHeight', 'forEach', 'map', 'filter', 'trim', 'bind',
  'now', 'keys', 'create', 'defineProperty', 'isArray',
]);

// Every name the script reads from the browser: property names, and identifiers that the
// script does not declare itself.
function browserNamesIn(program) {
  const identifiers = new Set();
  const declared = new Set();
  const properties = new Set();
  (function walk(node) {
    if (Array.isArray(node)) return node.forEach(walk);
    if (!node || typeof node.type !== 'string') return;
    if (node.type === 'MemberExpression' && !node.computed) properties.add(node.property.name);
    else if (node.type === 'Identifier') identifiers.add(node.name);
    if (node.type === 'VariableDeclarator') declared.add(node.id.name);
    if (node.type === 'FunctionDeclaration' || node.type === 'FunctionExpression') {
      if (node.id) declared.add(node.id.name);
      for (const param of node.params) declared.add(param.name);
    }
    for (const [key, value] of Object.entries(node)) {
      if (key !== 'property' || node.computed) walk(value);
    }
  })(program);
  return [...properties, ...[...identifiers].filter((name) => !declared.has(name))];
}

test('the page has its script inline and nothing from outside', () => {
  assert.equal(scripts.length, 1);
  assert.doesNotMatch(html, /<[^>]*\s(src|href)\s*=/i);
});

test('the script parses as ES3', () => {
  for (const script of scripts) acorn.parse(script, { ecmaVersion: 3 });
});

test('change_div and load_image are global functions with the add-on\'s arguments', () => {
  const declared = new Map();
  for (const script of scripts) {
    for (const node of acorn.parse(script, { ecmaVersion: 3 }).body) {
      if (node.type === 'FunctionDeclaration') declared.set(node.id.name, node.params.length);
    }
  }
  assert.equal(declared.get('change_div'), 2);
  assert.equal(declared.get('load_image'), 7);
});

test('the script uses nothing that IE8 lacks', () => {
  for (const script of scripts) {
    const used = browserNamesIn(acorn.parse(script, { ecmaVersion: 3 }));
    assert.deepEqual(used.filter((name) => missingInIe8.has(name)), []);
  }
});

test('the page asks for IE8 standards mode before anything else in its head', () => {
  assert.match(html, /^<!DOCTYPE html>\s*<html>\s*<head>\s*<meta http-equiv="X-UA-Compatible" content="IE=8">/i);
});
