// Prints what X's counting library (twitter-text, `parseTweet(text).weightedLength`) gives for
// the weighted-length cases of its own conformance file and for 26,000 generated texts:
// one line a text, its UTF-16 code units in hex, a space, the weight (or "error" when the library
// throws). tests/conformance/x_conformance.cpp compares each with Quillet's X figure.
//
//   node oracle.js NODE_MODULES
'use strict';

const path = require('path');
const { createRequire } = require('module');

const load = createRequire(path.join(path.resolve(process.argv[2]), 'noop.js'));
const { parseTweet } = load('twitter-text');

// A small seeded generator (mulberry32), so that every run compares the same texts.
let seed = 20261208;
function random() {
  seed = (seed + 0x6d2b79f5) | 0;
  let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
  t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const pick = (list) => list[Math.floor(random() * list.length)];

const prose = [
  '吾輩は猫である。', '名前はまだ無い', 'です', 'こちらを見て', '詳しくは', '、', '。', '「引用」',
  '東京都', 'ご覧ください', '漢字とかなの文', 'お知らせ', '（注）', 'ー', '〜', '…', '全角ＡＢＣ１２３',
];
const halfKana = ['ｶﾀｶﾅ', 'ﾃｽﾄ', 'ｶﾞｷﾞ', 'ｰ', '｡', '｢ｱ｣', 'ﾊﾟ'];
const separators = ['', '', ' ', ' ', '　', '\n', '\r\n', '\t'];
const schemes = ['', '', '', 'http://', 'https://', 'HTTPS://', 'Http://', 'ftp://', 'http:/', '//', 'mailto:'];
const hosts = [
  'example.com', 'www.yahoo.co.jp', 't.co', 'note.com', 'EXAMPLE.COM', 'sub.example.co.uk',
  '例え.jp', '日本語.jp', 'xn--wgv71a119e.jp', 'bücher.de', 'пример.рф', 'ПРИМЕР.РФ', '☃.net',
  'example.みんな', 'example.コム', 'example.xn--q9jyb4c', 'test_under.example.com', 'under_score.com',
  '-bad.com', 'bad-.com', 'a-b.com', `${'a'.repeat(63)}.com`, `${'a'.repeat(64)}.com`,
  `${'あ'.repeat(18)}.jp`, `${'あ'.repeat(19)}.jp`, 'example.c', 'example.comm', 'example.co.jp',
  'example.com.', 'localhost', '192.168.0.1', 'foo.bar', 'foo.q', 'a.b.c.d.e.com', 'www.', '.com',
  'a..com', 'xn--.com', 'xn--abc', 'ex\u00E9mple.fr', 'exa\u0301mple.com', 'example.ελ', 'twitter.com',
  'bit.ly', 'goo.gl', 'amazon.co.jp', 'qiita.com', 'x.com', 'ｘ.com', 'example。com', 'foo.ＣＯＭ',
];
const ports = ['', '', '', ':8080', ':', ':80x'];
const paths = [
  '', '', '', '/', '/path/to', '/a(b)c', '/a(b(c)d)e', '/a((b))', '/wiki/Foo_(bar)', '/ja/日本語',
  '/Русские_слова', '/!', '/a.', '/a,', '/a)', '/#frag', '/@user/', '/x?', '/abc123', '/a-b_c~d',
  '/%E3%81%82', '/a;b=c', '/a:b', '/é', '/a–b', '/a|b', '/[x]', '/(', '/()', '/a/(b',
];
const queries = ['', '', '', '?q=1', '?q=1&r=2', '?a=.', '?', '?a!', '?x=(1)', '?q=日本', '?s=a#b'];
const tcoSlugs = ['abc', 'AbC123', 'a'.repeat(40), 'a'.repeat(41), ''];
const trailing = ['', '', '', '.', ',', ')', '」', '。', '!', '?', ':', '…', '）', '"', "'", '/', '-'];
const before = ['', '', '', ' ', '(', '「', '@', '#', '$', '＠', '＃', '_', '-', '.', '/', 'x', '1', 'é', '\u200E', '\u202A', '\uFEFF'];
const emoji = [
  '\u{1F600}', '\u{1F44D}\u{1F3FD}', '\u{1F468}\u200D\u{1F469}\u200D\u{1F467}\u200D\u{1F466}',
  '\u{1F469}\u200D\u{1F4BB}', '\u{1F3F3}\uFE0F\u200D\u{1F308}', '\u{1F1EF}\u{1F1F5}',
  '\u{1F1EF}\u{1F1F5}\u{1F1FA}', '1\uFE0F\u20E3', '#\u20E3', '*\uFE0F\u20E3', '1\u20E3', '9',
  '\u{1F3F4}\u{E0067}\u{E0062}\u{E0065}\u{E006E}\u{E0067}\u{E007F}', '\u2764\uFE0F', '\u2764',
  '\u2764\uFE0E', '\u00A9', '\u00A9\uFE0F', '\u00AE', '\u2122', '\u2122\uFE0F', '\u263A', '\u263A\uFE0F',
  '\uFE0F', '\u200D', '\u{1F9D1}\u200D\u{1F91D}\u200D\u{1F9D1}', '\u{1FAE0}', '\u270C\u{1F3FF}',
  '\u{1F468}\u{1F3FB}\u200D\u2695\uFE0F', '\u{1F937}\u{1F3FD}\u200D\u2640\uFE0F', '\u26F9\uFE0F\u200D\u2642\uFE0F',
  '\u{1F441}\u200D\u{1F5E8}', '\u{1F3FB}', '\u261D', '\u261D\uFE0E', '\u{1F170}', '\u3030', '\u303D\uFE0F',
  '\uE50A', '\u{1F408}\u200D\u2B1B',
];
const marks = [
  '\u0301', 'e\u0301', 'か\u3099', 'ｶﾞ', '\u200B', '\u200E', '\u202A', '\u2066', '\uFEFF', '\uFFFE',
  '\u0000', '\u007F', '\u0085', '\uD800', '\uDC00', '…', '—', '′', '\u2028', '\u1100\u1161', '\u00AD',
  'Å', '\u212B', 'ﬁ', '𠮷', '\u{E0100}',
];

function link() {
  let host = pick(hosts);
  let scheme = pick(schemes);
  let rest = pick(ports) + pick(paths) + pick(queries);
  if (random() < 0.08) {
    host = 't.co';
    scheme = pick(['http://', 'https://', 'HTTPS://', '']);
    rest = `/${pick(tcoSlugs)}${pick(['', '', '/more', '?a=1', '?a!', '.'])}`;
  }
  if (random() < 0.05) return `${pick(['user', 'a.b', 'x_y'])}@${host}`;  // an e-mail address
  return pick(before) + scheme + host + rest + pick(trailing);
}

const kinds = [
  () => pick(prose), () => pick(prose), () => pick(halfKana), () => link(), () => link(),
  () => pick(emoji), () => pick(emoji), () => pick(marks), () => 'see', () => 'now',
];
function generated() {
  const parts = [];
  for (let n = 1 + Math.floor(random() * 9); n > 0; --n) parts.push(pick(kinds)(), pick(separators));
  return parts.join('');
}

// Short strings of the pieces where the link and emoji rules turn, in any order.
const pieces = [
  'a', 'b', 'é', 'あ', '例', '.', '.', '.', '/', '/', ':', '(', ')', '-', '_', '@', '#', '?', '=',
  '&', 'h', 't', 'p', 's', 'x', 'n', '--', 'c', 'o', 'm', 'jp', 'co', 'com', '1', ' ', ' ',
  '\u{1F600}', '\uFE0F', '\u20E3', '。', 'http://', 'https://', 't.co/', 'xn--', 'www.', '!', ',',
  'ｱ', '\u0301', '\u00A9', '\u2764', '\u{1F3FD}', '\u200D', '\u{1F1EF}', '\u{1F1F5}', '\uFE0E',
  'みんな', 'рф', 'П', 'К', 'k', '\u212A', '$', '＠', '\n', ':80', '%', '~', '|', "'", '*', '+', '[',
  ']', '\uD800', 'bücher.de', '☃', 'example.com', '例え.jp', '\u{1F44D}\u{1F3FD}', '1\uFE0F\u20E3',
];
function shuffled() {
  let text = '';
  for (let k = 1 + Math.floor(random() * 25); k > 0; --k) text += pick(pieces);
  return text;
}

const texts = require('./validate_cases.js').map((c) => c.text);
texts.push('see example.com now', 'http://例え.jp', 'HTTPS://EXAMPLE.COM/X)', '®', '©', '®\uFE0F');
// Where the library's rules surprised: a path piece that ends in a letter before '%' and
// parentheses; a host whose ASCII part ends before the host does, with a path (the library then
// steps to the middle of a surrogate pair); emoji between a match's start and the ASCII part of
// its host.
texts.push(
  ',o\u{1F600}t.co/s@%(sp)',
  '(jp\u00E9.\u0440\u0444.co/~https://s\u041A.k',
  ',pp\u00A9.\uFE0F\u00A9\uFE0Ft.co/',
  ' [:b\u00FCcher.de\u{1F1F5}\u2603.net/\uD800@ ',
);
for (let n = 0; n < 6000; ++n) texts.push(generated());
for (let n = 0; n < 20000; ++n) texts.push(shuffled());
// A few long ones: many links, emoji and dots in one text, as a copied page would have.
for (let n = 0; n < 20; ++n) {
  let text = '';
  for (let k = 0; k < 150; ++k) text += pick(kinds)() + pick(separators);
  texts.push(text);
}

const out = [];
for (const text of texts) {
  let weight;
  try {
    weight = String(parseTweet(text).weightedLength);
  } catch (e) {
    weight = 'error';
  }
  const hex = [...Array(text.length).keys()].map((k) => text.charCodeAt(k).toString(16).padStart(4, '0'));
  out.push(`${hex.join('')} ${weight}`);
}
process.stdout.write(`${out.join('\n')}\n`);
