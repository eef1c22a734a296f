// SPDX-License-Identifier: GPL-3.0-or-later
// Writes tests/core/data/fsrs_reference.tsv: review histories scheduled by the
// ts-fsrs library, which tst_fsrs replays through our scheduler.
//
//   mkdir -p /tmp/npm-fsrs && cd /tmp/npm-fsrs && npm init -y && npm install ts-fsrs
//   node tools/fsrs/make_reference.mjs
//
// ts-fsrs is loaded from /tmp/npm-fsrs (or the folder in TS_FSRS_DIR), so that
// no node_modules lands in the repository. The histories come from a fixed
// seed: the same ts-fsrs makes the same file.
import { createRequire } from 'node:module';
import { writeFileSync, renameSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import path from 'node:path';

const fsrsDir = process.env.TS_FSRS_DIR ?? '/tmp/npm-fsrs';
const require = createRequire(path.join(fsrsDir, 'package.json'));
const { fsrs, createEmptyCard, FSRSVersion, Rating, State } = require('ts-fsrs');

const f = fsrs({ request_retention: 0.9, maximum_interval: 36500, enable_fuzz: false, enable_short_term: false });

const MINUTE = 60 * 1000;
const HOUR = 60 * MINUTE;
const DAY = 24 * HOUR;
const T0 = Date.UTC(2026, 0, 1, 9, 0, 0);

// mulberry32: small, and the same in every node.
let seed = 20260101;
function random() {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = seed;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const randomInt = (lo, hi) => lo + Math.floor(random() * (hi - lo + 1)); // lo .. hi
const pick = (weighted) => { // [[value, weight], ...]
    let x = random() * weighted.reduce((sum, [, wt]) => sum + wt, 0);
    for (const [value, wt] of weighted) {
        if ((x -= wt) < 0)
            return value;
    }
    return weighted[weighted.length - 1][0];
};

const { Again, Hard, Good, Easy } = Rating;
const rows = [];

// Plays one history; each step gives (rating, time) from the card so far.
function play(name, steps) {
    let card = createEmptyCard(new Date(T0));
    let last = null;
    steps.forEach((step, i) => {
        const [rating, at] = step(card, last);
        const r = f.get_retrievability(card, new Date(at), false);
        card = f.next(card, new Date(at), rating).card;
        last = at;
        rows.push([name, i + 1, at, rating, r, card.stability, card.difficulty, card.scheduled_days,
            card.due.getTime(), card.state, card.reps, card.lapses].join('\t'));
    });
}
const first = (rating, at = T0) => () => [rating, at];
const onDue = (rating, offset = 0) => (card) => [rating, card.due.getTime() + offset];
const after = (rating, ms) => (card, last) => [rating, last + ms];
const late = (rating, times) => (card, last) => [rating, last + Math.round(times * (card.due.getTime() - last))];
const repeat = (n, make) => Array.from({ length: n }, (_, i) => make(i));

for (const [label, rating] of [['again', Again], ['hard', Hard], ['good', Good], ['easy', Easy]])
    play(`new-${label}`, [first(rating), ...repeat(5, () => onDue(Good))]);
play('good-run', [first(Good), ...repeat(15, () => onDue(Good))]);
play('lapse-after-long', [first(Good), ...repeat(8, () => onDue(Good)), onDue(Again), ...repeat(4, () => onDue(Good)),
    after(Again, 200 * DAY), ...repeat(3, () => onDue(Good))]);
play('hard-easy-mix', [first(Hard), ...repeat(13, () => onDue(random() < 0.5 ? Hard : Easy, randomInt(0, 20) * HOUR))]);
play('same-day', [first(Good, T0 - HOUR), after(Again, 5 * MINUTE), after(Hard, 4 * HOUR), after(Good, 6 * HOUR),
    after(Easy, 5 * HOUR), onDue(Good), after(Good, MINUTE), after(Again, 2 * HOUR), after(Easy, 3 * HOUR),
    onDue(Hard)]);
play('overdue', [first(Good), onDue(Good), late(Good, 4), after(Good, 365 * DAY), after(Hard, 5 * 365 * DAY),
    late(Again, 10), onDue(Good), after(Easy, 3 * 365 * DAY)]);
play('early', [first(Easy), onDue(Good), late(Good, 0.5), late(Good, 0.3), late(Hard, 0.7), late(Easy, 0.2),
    late(Again, 0.5), late(Good, 0.1), onDue(Good)]);
// Days are counted in UTC midnights for a review, in whole 24 hours for the retrievability.
const midnight = Date.UTC(2026, 2, 1);
play('utc-midnight', [first(Good, midnight - 30 * 1000), after(Good, MINUTE), after(Hard, 10 * 1000),
    (card) => [Good, card.due.getTime() - (card.due.getTime() % DAY) + 10 * 1000], after(Again, DAY - 30 * 1000),
    after(Good, DAY - 10 * 1000), onDue(Easy, -(9 * HOUR))]);
play('easy-to-cap', [first(Easy), ...repeat(4, () => late(Easy, 3)), ...repeat(2, () => onDue(Easy))]);

for (let h = 1; h <= 20; ++h) {
    const steps = [first(pick([[Again, 1], [Hard, 1], [Good, 2], [Easy, 1]]), T0 + randomInt(0, 23 * 60) * MINUTE)];
    for (let n = randomInt(8, 20); n > 1; --n) {
        const rating = pick([[Again, 15], [Hard, 20], [Good, 45], [Easy, 20]]);
        const when = pick([['due', 50], ['same', 15], ['early', 15], ['late', 20]]);
        const minutes = randomInt(-12 * 60, 12 * 60);
        const times = 1 + random() * 3;
        const share = random();
        steps.push({
            due: onDue(rating, minutes * MINUTE),
            same: after(rating, randomInt(1, 300) * MINUTE),
            early: late(rating, share),
            late: late(rating, times),
        }[when]);
    }
    play(`random-${String(h).padStart(2, '0')}`, steps);
}

const here = path.dirname(fileURLToPath(import.meta.url));
const out = path.join(here, '..', '..', 'tests', 'core', 'data', 'fsrs_reference.tsv');
const header = [
    `# Review histories scheduled by ts-fsrs ${FSRSVersion}, made by tools/fsrs/make_reference.mjs.`,
    '# Settings: request retention 0.9, maximum interval 36500 days, no fuzz, no short-term steps.',
    '# retrievability: of the card before the review, at the review time. Times in ms since 1970 UTC.',
    `# state: ${State.New} new, ${State.Review} review. rating: 1 again, 2 hard, 3 good, 4 easy.`,
    ['history', 'review', 'at_ms', 'rating', 'retrievability', 'stability', 'difficulty', 'scheduled_days',
        'due_ms', 'state', 'reps', 'lapses'].join('\t'),
];
writeFileSync(out + '.tmp', [...header, ...rows].join('\n') + '\n');
renameSync(out + '.tmp', out);
console.log(`${rows.length} reviews written to ${out}`);
