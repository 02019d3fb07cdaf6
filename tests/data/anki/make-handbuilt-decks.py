#!/usr/bin/env python3
"""Writes the test packages that npm's anki-apkg-export cannot: cloze notes,
subdecks, a filtered deck, several note types, schema 18 (zstd), and broken
packages. They follow the schema that Anki's source publishes
(rslib/src/storage/); no real Anki export of these kinds was at hand. Run
once; the packages are committed beside this script. Needs the zstd command."""

import io
import json
import re
import os
import sqlite3
import subprocess
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SEP = "\x1f"

SCHEMA11 = """
CREATE TABLE col (id integer primary key, crt integer not null, mod integer not null,
  scm integer not null, ver integer not null, dty integer not null, usn integer not null,
  ls integer not null, conf text not null, models text not null, decks text not null,
  dconf text not null, tags text not null);
CREATE TABLE notes (id integer primary key, guid text not null, mid integer not null,
  mod integer not null, usn integer not null, tags text not null, flds text not null,
  sfld integer not null, csum integer not null, flags integer not null, data text not null);
CREATE TABLE cards (id integer primary key, nid integer not null, did integer not null,
  ord integer not null, mod integer not null, usn integer not null, type integer not null,
  queue integer not null, due integer not null, ivl integer not null, factor integer not null,
  reps integer not null, lapses integer not null, left integer not null, odue integer not null,
  odid integer not null, flags integer not null, data text not null);
CREATE TABLE revlog (id integer primary key, cid integer not null, usn integer not null,
  ease integer not null, ivl integer not null, lastIvl integer not null, factor integer not null,
  time integer not null, type integer not null);
CREATE TABLE graves (usn integer not null, oid integer not null, type integer not null);
"""

SCHEMA18 = SCHEMA11 + """
CREATE TABLE notetypes (id integer not null primary key, name text not null collate unicase,
  mtime_secs integer not null, usn integer not null, config blob not null);
CREATE UNIQUE INDEX idx_notetypes_name ON notetypes (name);
CREATE TABLE fields (ntid integer not null, ord integer not null, name text not null collate unicase,
  config blob not null, PRIMARY KEY (ntid, ord)) without rowid;
CREATE UNIQUE INDEX idx_fields_name_ntid ON fields (name, ntid);
CREATE TABLE templates (ntid integer not null, ord integer not null, name text not null collate unicase,
  mtime_secs integer not null, usn integer not null, config blob not null,
  PRIMARY KEY (ntid, ord)) without rowid;
CREATE TABLE decks (id integer primary key not null, name text not null collate unicase,
  mtime_secs integer not null, usn integer not null, common blob not null, kind blob not null);
CREATE UNIQUE INDEX idx_decks_name ON decks (name);
"""

BASIC, REVERSED, CLOZE, VOCAB = 1001, 1002, 1003, 1004
NOTE_TYPES = {
    BASIC: ("Basic", 0, ["Front", "Back"], 1),
    REVERSED: ("Basic (and reversed card)", 0, ["Front", "Back"], 2),
    CLOZE: ("Cloze", 1, ["Text", "Back Extra"], 1),
    VOCAB: ("Vocabulary", 0, ["Expression", "Reading", "Meaning"], 1),
}


class Collection:
    def __init__(self):
        self.decks = {1: "Default"}
        self.notes = []  # (id, mid, fields, deck, suspended cards, filtered deck)

    def deck(self, did, name):
        self.decks[did] = name

    def note(self, mid, fields, did, suspended=(), odid=None, cards=None):
        nid = 1_600_000_000_000 + len(self.notes)
        self.notes.append((nid, mid, fields, did, set(suspended), odid, cards))
        return nid

    def fill(self, db, schema):
        ntypes = {}
        for mid, (name, kind, fields, _) in NOTE_TYPES.items():
            ntypes[str(mid)] = {"id": mid, "name": name, "type": kind,
                                "flds": [{"name": f, "ord": i} for i, f in enumerate(fields)],
                                "tmpls": []}
        decks = {str(did): {"id": did, "name": name, "dyn": 1 if name.startswith("Filtered") else 0}
                 for did, name in self.decks.items()}
        if schema == 11:
            models_json, decks_json = json.dumps(ntypes, ensure_ascii=False), json.dumps(decks, ensure_ascii=False)
        else:
            models_json, decks_json = "", ""
            for mid, (name, kind, fields, _) in NOTE_TYPES.items():
                config = bytes([0x08, kind]) + bytes([0x1A, 0x02]) + b"p{"  # kind, then css
                db.execute("INSERT INTO notetypes VALUES (?, ?, 0, 0, ?)", (mid, name, config))
                for i, f in enumerate(fields):
                    db.execute("INSERT INTO fields VALUES (?, ?, ?, ?)", (mid, i, f, b""))
            for did, name in self.decks.items():
                db.execute("INSERT INTO decks VALUES (?, ?, 0, 0, ?, ?)",
                           (did, name.replace("::", SEP), b"", b""))
        db.execute("INSERT INTO col VALUES (1, 0, 0, 0, ?, 0, 0, 0, '{}', ?, ?, '{}', '{}')",
                   (schema, models_json, decks_json))
        cid = 1_700_000_000_000
        for nid, mid, fields, did, suspended, odid, cards in self.notes:
            db.execute("INSERT INTO notes VALUES (?, ?, ?, 0, 0, '', ?, '', 0, 0, '')",
                       (nid, f"g{nid}", mid, SEP.join(fields)))
            ords = cards if cards is not None else range(NOTE_TYPES[mid][3])
            if NOTE_TYPES[mid][1] == 1:
                ords = sorted({int(n) - 1 for n in re.findall(r"\{\{c(\d+)::", fields[0])})
            for ord_ in ords:
                cid += 1
                queue = -1 if ord_ in suspended else 0
                card_did, card_odid = (odid, did) if odid else (did, 0)
                db.execute("INSERT INTO cards VALUES (?, ?, ?, ?, 0, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0, ?, 0, '')",
                           (cid, nid, card_did, ord_, queue, card_odid))


def sqlite_bytes(collection, schema):
    with tempfile.TemporaryDirectory() as folder:
        name = os.path.join(folder, "c.db")
        db = sqlite3.connect(name)
        db.create_collation("unicase", lambda a, b: (a.lower() > b.lower()) - (a.lower() < b.lower()))
        db.executescript(SCHEMA18 if schema == 18 else SCHEMA11)
        if collection:
            collection.fill(db, schema)
        db.commit()
        db.close()
        with open(name, "rb") as f:
            return f.read()


def write_zip(name, entries):
    with zipfile.ZipFile(os.path.join(HERE, name), "w", zipfile.ZIP_DEFLATED) as z:
        for entry, data in entries:
            info = zipfile.ZipInfo(entry, date_time=(2024, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)


def zstd(data):
    return subprocess.run(["zstd", "-q", "-c", "-19"], input=data, check=True, capture_output=True).stdout


def mixed():
    """Schema 11: subdecks, a filtered deck, four note types, clozes, and
    cards that are skipped."""
    c = Collection()
    c.deck(10, "日本語")
    c.deck(11, "日本語::動詞")
    c.deck(12, "日本語::名詞")
    c.deck(13, "Filtered Deck 1")
    c.deck(14, "空のデッキ")
    c.deck(15, "少ない")
    c.deck(16, "理科")
    for front, back in [("食べる", "to eat"), ("飲む", "to drink"), ("見る", "to see"), ("書く", "to write"),
                        ("話す", "to speak"), ("読む", "to read")]:
        c.note(REVERSED, [front, back], 11)
    c.note(BASIC, ["寝る", "to sleep"], 11, suspended={0})
    for expression, reading, meaning in [("山", "やま", "mountain"), ("川", "かわ", "river"),
                                         ("海", "うみ", "sea"), ("空", "そら", "sky"), ("森", "もり", "forest")]:
        c.note(VOCAB, [expression, reading, meaning], 12)
    c.note(VOCAB, ["雨", "あめ", "rain"], 12, odid=13)
    c.note(BASIC, ["日本[にほん]の<b>首都</b>は？", "東京&nbsp;"], 10)
    c.note(BASIC, ["[sound:kyoto.mp3]", "京都"], 10)
    c.note(BASIC, ["画像だけ", '<img src="osaka.png">'], 10)
    c.note(BASIC, ["円の面積", "[$]\\pi r^2[/$]"], 10)
    c.note(BASIC, ["北海道の中心都市", "札幌<br>さっぽろ"], 10)
    for q, a in [("沖縄の県庁所在地", "那覇"), ("愛知の県庁所在地", "名古屋"), ("宮城の県庁所在地", "仙台"),
                 ("福岡の県庁所在地", "福岡"), ("広島の県庁所在地", "広島")]:
        c.note(BASIC, [q, a], 10)
    for q, a in [("一", "1"), ("二", "2"), ("三", "3")]:
        c.note(BASIC, [q, a], 15)
    c.note(CLOZE, ["水は{{c1::100::温度}}℃で沸騰し、{{c2::0}}℃で凍る。", ""], 16)
    c.note(CLOZE, ["光合成では{{c1::二酸化炭素}}と{{c2::水}}から{{c3::酸素}}ができる。", ""], 16,
           suspended={2})
    c.note(CLOZE, ["地球の衛星は{{c1::月}}。", ""], 16)
    c.note(CLOZE, ["{{c1::image-occlusion:rect:left=.1:top=.2:width=.3:height=.1}}", ""], 16)
    return c


def schema18_collection():
    c = Collection()
    c.deck(20, "地理::首都")
    c.deck(21, "地理::川")
    for q, a in [("フランス", "パリ"), ("ドイツ", "ベルリン"), ("イタリア", "ローマ"), ("スペイン", "マドリード"),
                 ("エジプト", "カイロ"), ("ペルー", "リマ")]:
        c.note(BASIC, [q, a], 20)
    for q, a in [("日本最長の川", "信濃川"), ("世界最長の川", "ナイル川"), ("流域面積が最大の川", "アマゾン川"),
                 ("ロンドンを流れる川", "テムズ川"), ("パリを流れる川", "セーヌ川")]:
        c.note(BASIC, [q, a], 21)
    c.note(CLOZE, ["{{c1::セーヌ川}}はパリを流れる。", ""], 21)
    return c


def update_notice():
    """What a current export keeps as collection.anki2: one note asking to
    update Anki."""
    c = Collection()
    c.note(BASIC, ["Please update to the latest Anki version, then import the .colpkg/.apkg file again.", ""], 1)
    return sqlite_bytes(c, 11)


def main():
    write_zip("schema11-mixed.apkg", [("collection.anki2", sqlite_bytes(mixed(), 11)), ("media", "{}")])
    new = zstd(sqlite_bytes(schema18_collection(), 18))
    write_zip("schema18.apkg", [("collection.anki2", update_notice()), ("collection.anki21b", new), ("media", b"")])
    write_zip("schema18.colpkg", [("collection.anki2", update_notice()), ("collection.anki21b", new)])

    write_zip("not-a-deck.apkg", [("readme.txt", "no collection here")])
    whole = open(os.path.join(HERE, "schema11-mixed.apkg"), "rb").read()
    with open(os.path.join(HERE, "truncated.apkg"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    write_zip("corrupt-sqlite.apkg", [("collection.anki2", b"SQLite format 3\0" + bytes(range(256)) * 8)])
    short = Collection()
    short.note(BASIC, ["只一つ"], 1)
    write_zip("short-fields.apkg", [("collection.anki2", sqlite_bytes(short, 11))])
    write_zip("escaping-entry.apkg", [("../collection.anki2", sqlite_bytes(schema18_collection(), 11))])
    # A zstd stream that would expand to 1.1 GB of zeros.
    bomb = subprocess.run("head -c 1181116006 /dev/zero | zstd -q -c -3 --stream-size=1181116006",
                          shell=True, check=True, capture_output=True).stdout
    write_zip("zstd-bomb.apkg", [("collection.anki21b", bomb)])


main()
