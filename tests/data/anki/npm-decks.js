// The decks that make-npm-decks.sh writes with anki-apkg-export: a Japanese
// vocabulary deck with its meanings, capitals of countries, and years of
// events, each as people share them.
const fs = require('fs');
const path = require('path');
const AnkiExport = require('anki-apkg-export').default;

const vocabulary = [
  ['犬', 'dog'], ['猫', 'cat'], ['鳥', 'bird'], ['魚', 'fish'], ['馬', 'horse'], ['牛', 'cow'],
  ['羊', 'sheep'], ['豚', 'pig'], ['虫', 'insect'], ['花', 'flower'], ['木', 'tree'], ['森', 'forest'],
  ['山', 'mountain'], ['川', 'river'], ['海', 'sea'], ['空', 'sky'], ['雨', 'rain'], ['雪', 'snow'],
  ['風', 'wind'], ['火', 'fire'], ['水', 'water'], ['石', 'stone'], ['金', 'gold'], ['銀', 'silver'],
  ['朝', 'morning'], ['昼', 'noon'], ['夜', 'night'], ['春', 'spring'], ['夏', 'summer'], ['秋', 'autumn'],
  ['冬', 'winter'], ['駅', 'station'], ['道', 'road'], ['橋', 'bridge'], ['町', 'town'], ['村', 'village'],
  ['店', 'shop'], ['家', 'house'], ['部屋', 'room'], ['窓', 'window'], ['机', 'desk'], ['椅子', 'chair'],
  ['本', 'book'], ['紙', 'paper'], ['手紙', 'letter'], ['電話', 'telephone'], ['時計', 'clock'], ['鍵', 'key'],
  ['傘', 'umbrella'], ['靴', 'shoes'], ['帽子', 'hat'], ['眼鏡', 'glasses'], ['財布', 'wallet'], ['鞄', 'bag'],
  ['先生', 'teacher'], ['学生', 'student'], ['医者', 'doctor'], ['友達', 'friend'], ['家族', 'family'],
  ['子供', 'child'], ['食べる', 'to eat'], ['飲む', 'to drink'], ['見る', 'to see'], ['聞く', 'to listen'],
  ['話す', 'to speak'], ['読む', 'to read'], ['書く', 'to write'], ['歩く', 'to walk'], ['走る', 'to run'],
  ['泳ぐ', 'to swim'], ['寝る', 'to sleep'], ['起きる', 'to wake up'], ['買う', 'to buy'], ['売る', 'to sell'],
  ['待つ', 'to wait'], ['会う', 'to meet'], ['使う', 'to use'], ['作る', 'to make'], ['忘れる', 'to forget'],
  ['覚える', 'to remember'], ['大きい', 'big'], ['小さい', 'small'], ['高い', 'tall; expensive'],
  ['安い', 'cheap'], ['新しい', 'new'], ['古い', 'old'], ['暑い', 'hot (weather)'], ['寒い', 'cold (weather)'],
  ['早い', 'early'], ['遅い', 'late; slow'], ['長い', 'long'], ['短い', 'short'], ['明るい', 'bright'],
  ['暗い', 'dark'], ['静か', 'quiet'], ['元気', 'healthy; lively'], ['便利', 'convenient'], ['有名', 'famous'],
  ['大切', 'important'], ['簡単', 'easy'],
];

const capitals = [
  ['日本', '東京'], ['韓国', 'ソウル'], ['中国', '北京'], ['台湾', '台北'], ['タイ', 'バンコク'],
  ['ベトナム', 'ハノイ'], ['フィリピン', 'マニラ'], ['インドネシア', 'ジャカルタ'], ['マレーシア', 'クアラルンプール'],
  ['インド', 'ニューデリー'], ['ネパール', 'カトマンズ'], ['モンゴル', 'ウランバートル'], ['イラン', 'テヘラン'],
  ['トルコ', 'アンカラ'], ['エジプト', 'カイロ'], ['ケニア', 'ナイロビ'], ['ナイジェリア', 'アブジャ'],
  ['南アフリカ', 'プレトリア'], ['フランス', 'パリ'], ['ドイツ', 'ベルリン'], ['イタリア', 'ローマ'],
  ['スペイン', 'マドリード'], ['ポルトガル', 'リスボン'], ['イギリス', 'ロンドン'], ['アイルランド', 'ダブリン'],
  ['オランダ', 'アムステルダム'], ['ベルギー', 'ブリュッセル'], ['スイス', 'ベルン'], ['オーストリア', 'ウィーン'],
  ['ポーランド', 'ワルシャワ'], ['チェコ', 'プラハ'], ['ハンガリー', 'ブダペスト'], ['ギリシャ', 'アテネ'],
  ['スウェーデン', 'ストックホルム'], ['ノルウェー', 'オスロ'], ['フィンランド', 'ヘルシンキ'], ['デンマーク', 'コペンハーゲン'],
  ['ロシア', 'モスクワ'], ['ウクライナ', 'キーウ'], ['アメリカ合衆国', 'ワシントンD.C.'], ['カナダ', 'オタワ'],
  ['メキシコ', 'メキシコシティ'], ['ブラジル', 'ブラジリア'], ['アルゼンチン', 'ブエノスアイレス'], ['チリ', 'サンティアゴ'],
  ['ペルー', 'リマ'], ['コロンビア', 'ボゴタ'], ['オーストラリア', 'キャンベラ'], ['ニュージーランド', 'ウェリントン'],
  ['サウジアラビア', 'リヤド'],
].map(([country, city]) => [`${country}の首都は？`, city]);

const years = [
  ['鎌倉幕府が開かれる', '1192年'], ['応仁の乱が始まる', '1467年'], ['鉄砲が伝わる', '1543年'],
  ['関ヶ原の戦い', '1600年'], ['江戸幕府が開かれる', '1603年'], ['島原の乱', '1637年'], ['ペリーが浦賀に来航', '1853年'],
  ['明治維新', '1868年'], ['大日本帝国憲法の発布', '1889年'], ['日清戦争が始まる', '1894年'],
  ['日露戦争が始まる', '1904年'], ['関東大震災', '1923年'], ['日本国憲法の施行', '1947年'],
  ['東海道新幹線の開業', '1964年'], ['大阪万博', '1970年'], ['平安京への遷都', '794年'], ['大化の改新', '645年'],
  ['法隆寺の建立', '607年'], ['平城京への遷都', '710年'], ['壇ノ浦の戦い', '1185年'], ['元寇（文永の役）', '1274年'],
  ['室町幕府が開かれる', '1338年'], ['本能寺の変', '1582年'], ['コロンブスがアメリカに到達', '1492年'],
  ['フランス革命', '1789年'], ['アメリカ独立宣言', '1776年'], ['ベルリンの壁の崩壊', '1989年'],
  ['第一次世界大戦が始まる', '1914年'], ['国際連合の発足', '1945年'], ['アポロ11号の月面着陸', '1969年'],
];

function write(name, deck, rows, out) {
  const apkg = new AnkiExport(deck);
  for (const [front, back] of rows) apkg.addCard(front, back);
  return apkg.save().then((zip) => fs.writeFileSync(path.join(out, name), zip, 'binary'));
}

const out = process.argv[2];
Promise.all([
  write('npm-vocabulary.apkg', '日本語の単語', vocabulary, out),
  write('npm-capitals.apkg', '世界の首都', capitals, out),
  write('npm-years.apkg', '歴史の年号', years, out),
]).catch((err) => {
  console.error(err.stack || err);
  process.exit(1);
});
