#!/usr/bin/env bash
# Makes the seeds of the journal fuzzer in fuzz/corpus-journal with sqlite3: small journals
# (512-byte pages) of the first and the current layout, a newer one and a foreign one.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/corpus-journal"
v1="CREATE TABLE runs (id INTEGER PRIMARY KEY, started TEXT NOT NULL, exercise INTEGER NOT NULL,
 type INTEGER NOT NULL, direction INTEGER NOT NULL, lines INTEGER NOT NULL, letters INTEGER NOT NULL,
 background INTEGER NOT NULL, active INTEGER NOT NULL, passive INTEGER NOT NULL, dot INTEGER NOT NULL,
 speed_ms INTEGER NOT NULL, duration_min INTEGER NOT NULL, run_ms INTEGER NOT NULL, steps INTEGER NOT NULL,
 ended TEXT NOT NULL);"
v2="CREATE TABLE runs (id INTEGER PRIMARY KEY, started_utc_ms INTEGER NOT NULL, utc_offset_s INTEGER NOT NULL,
 exercise INTEGER NOT NULL, type INTEGER NOT NULL, direction INTEGER NOT NULL, lines INTEGER NOT NULL,
 letters INTEGER NOT NULL, background INTEGER NOT NULL, active INTEGER NOT NULL, passive INTEGER NOT NULL,
 dot INTEGER NOT NULL, speed_ms INTEGER NOT NULL, duration_min INTEGER NOT NULL, run_ms INTEGER NOT NULL,
 steps INTEGER NOT NULL, ended TEXT NOT NULL, inactive INTEGER NOT NULL);
 CREATE INDEX runs_by_exercise ON runs (exercise, started_utc_ms);"
v2runs="INSERT INTO runs VALUES (1, 1714980600000, 10800, 1, 2, 0, 3, 12, 0, 16777215, 8421504, 16711680, 350, 2, 120000, 340, 'duration', 0);
 INSERT INTO runs VALUES (2, 1715000000000, -3600, 0, 0, 0, 1, 4, 192, 0, 0, 65280, 120, 0, 5000, 40, 'escape', 1);
 INSERT INTO runs VALUES (3, 1715100000000, 0, 2, 1, 2, 6, 30, 0, 255, 65535, 0, 2000, 5, 300000, 150, 'stopped', 0);"
seed() {
    rm -f "$out/$1"
    sqlite3 "$out/$1" "PRAGMA page_size=512; $2"
}
mkdir -p "$out"
seed layout1 "$v1 INSERT INTO runs VALUES (1, '2024-01-15 08:00:00', 2, 1, 2, 3, 12, 7, 1, 8, 4, 350, 2, 120500, 344, 'duration');
 INSERT INTO runs VALUES (2, '2024-07-15 20:45:10', 0, 3, 0, 1, 4, 0, 4, 5, 0, 420, 0, 30000, 71, 'escape');
 PRAGMA user_version=1;"
seed layout1-bad-date "$v1 INSERT INTO runs VALUES (1, 'dün', 2, 1, 2, 3, 12, 7, 1, 8, 4, 350, 2, 1, 3, 'escape');
 PRAGMA user_version=1;"
seed layout2 "$v2 $v2runs PRAGMA user_version=2;"
seed layout2-wal "$v2 $v2runs PRAGMA user_version=2; PRAGMA journal_mode=WAL;"
seed layout2-empty "$v2 PRAGMA user_version=2;"
seed layout2-other-columns "${v2/inactive INTEGER/owner TEXT} PRAGMA user_version=2;"
seed newer "$v2 $v2runs PRAGMA user_version=99;"
v3="ALTER TABLE runs ADD COLUMN paused_ms INTEGER; ALTER TABLE runs ADD COLUMN delivered_us INTEGER;
 ALTER TABLE runs ADD COLUMN late_steps INTEGER; ALTER TABLE runs ADD COLUMN worst_late_us INTEGER;
 ALTER TABLE runs ADD COLUMN lost_steps INTEGER; ALTER TABLE runs ADD COLUMN refresh_mhz INTEGER;"
seed layout3 "$v2 $v2runs $v3 PRAGMA user_version=3;"
seed layout4-routine "$v2 $v2runs $v3 ALTER TABLE runs ADD COLUMN routine_utc_ms INTEGER;
 UPDATE runs SET routine_utc_ms = 1714980600000 WHERE id < 3;
 CREATE TABLE routine_steps (position INTEGER PRIMARY KEY, exercise INTEGER NOT NULL, duration_s INTEGER NOT NULL);
 CREATE TABLE routine_paces (exercise INTEGER PRIMARY KEY, interval_ms INTEGER NOT NULL, limit_ms INTEGER NOT NULL,
  since_utc_ms INTEGER NOT NULL);
 CREATE TABLE routine_options (name TEXT PRIMARY KEY, value INTEGER NOT NULL);
 INSERT INTO routine_steps VALUES (0, 0, 60), (1, -1, 20), (2, 7, 60), (3, 2, 99999999999);
 INSERT INTO routine_paces VALUES (0, 360, 100, 0), (1, -5, 3000000000, -1), (9, 1, 1, 1);
 INSERT INTO routine_options VALUES ('stored', 1), ('progression', 0), ('goal_minutes', -3);
 PRAGMA user_version=4;"
# Another program's database at the journal's path: its own tables, no version.
seed foreign "CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT NOT NULL, created INTEGER);
 CREATE INDEX notes_by_time ON notes (created);
 INSERT INTO notes VALUES (1, 'alışveriş listesi', 1714980600), (2, 'toplantı', 1715000000);"
# A routine stored with no steps at all.
seed layout4-routine-empty "$v2 $v2runs $v3 ALTER TABLE runs ADD COLUMN routine_utc_ms INTEGER;
 CREATE TABLE routine_steps (position INTEGER PRIMARY KEY, exercise INTEGER NOT NULL, duration_s INTEGER NOT NULL);
 CREATE TABLE routine_paces (exercise INTEGER PRIMARY KEY, interval_ms INTEGER NOT NULL, limit_ms INTEGER NOT NULL,
  since_utc_ms INTEGER NOT NULL);
 CREATE TABLE routine_options (name TEXT PRIMARY KEY, value INTEGER NOT NULL);
 INSERT INTO routine_options VALUES ('stored', 1), ('progression', 1), ('goal_minutes', 10);
 PRAGMA user_version=4;"
