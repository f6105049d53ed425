#!/usr/bin/env python3
"""Writes prose-sjis.txt beside this script: about 1 MiB of Japanese prose in
code page 932 for the encoding benchmark, the same bytes on every run.

Sentences are put together from a fixed vocabulary (kanji words, hiragana
endings, katakana loanwords, punctuation, a few half-width katakana and NEC
row 13 symbols) with English words and numbers mixed in, and lines of script
notes in plain ASCII between them, so that about half of the bytes belong to
double-byte characters. Lines hold 20 to 80 characters and end in CR LF.

Run from anywhere:  python3 bench/data/make_prose.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 1 << 20

NOUNS = """
設定 文字 画面 時間 会社 仕事 問題 情報 場合 方法 自分 意味 世界 言葉 気持 部屋
天気 季節 電車 駅前 図書館 学校 先生 学生 友達 家族 子供 両親 近所 台所 机 窓 庭
手紙 新聞 雑誌 写真 映画 音楽 料理 野菜 果物 魚 肉 米 茶 水 酒 朝 昼 夜 春 夏 秋 冬
山 川 海 空 雨 雪 風 花 木 森 道 橋 町 村 都市 国 地方 政治 経済 社会 文化 歴史 科学
技術 研究 実験 結果 原因 理由 目的 計画 予定 準備 練習 試験 成績 資料 書類 記録 報告
会議 相談 説明 質問 答 意見 考 経験 知識 能力 努力 成功 失敗 注意 心配 安心 自由 責任
関係 環境 健康 病気 病院 医者 薬 体 頭 顔 目 耳 口 手 足 心 声 力 形 色 音 光 影
番号 名前 住所 電話 封筒 切手 荷物 旅行 空港 飛行機 船 車 自転車 道路 信号 交差点
事務所 工場 店 値段 給料 税金 銀行 郵便局 市役所 警察 公園 神社 寺 城 港 島 湖 畑
"""

VERBS = """
書きます 読みました 見る 聞いた 話す 考えている 始める 終わった 使います 作った
選ぶ 調べる 確かめた 並べる 分ける 直す 置いておく 残しておいた 送ります 受け取った
開く 閉じる 保存する 変換した 動かす 止めた 待つ 歩いた 走る 乗った 降りる 着いた
出かける 帰ってきた 休む 働いている 教える 習った 覚える 忘れた 思い出す 決めた
"""

ADJECTIVES = """
新しい 古い 大きな 小さな 長い 短い 明るい 暗い 静かな 賑やかな 便利な 不便な
簡単な 難しい 大切な 丁寧な 正しい 細かい 温かい 冷たい 広い 狭い 早い 遅い
"""

KATAKANA = """
ファイル フォルダ スクリプト エディタ コンピュータ メール データ テキスト ボタン
メニュー ウィンドウ キーボード マウス プリンタ ソフトウェア システム ネットワーク
サーバ パスワード ユーザ アイコン ページ コード テスト バージョン オプション
コーヒー レストラン ホテル タクシー バス デパート スーパー カメラ ノート ペン
"""

PARTICLES = "は が を に で と へ から まで より の も".split()
LINKS = "そして しかし それから ところで つまり たとえば やはり ただし まず 次に 最後に".split()
ADVERBS = "すぐに ゆっくり きちんと もう一度 ときどき いつも かなり 少し たくさん ほとんど".split()
ENDINGS = "。 。 。 ね。 よ。 のです。 でしょう。 と思う。 らしい。".split()
SYMBOLS = "① ② ③ ④ ⑤ ㈱ № ℡ ㌔ ㍉".split()
HANKAKU = "ﾌｧｲﾙ ｽｸﾘﾌﾟﾄ ﾃｷｽﾄ ｺｰﾄﾞ ﾃﾞｰﾀ".split()
SENTENCES = """
The file was saved in the folder before noon and nothing else changed.
WScript.Echo prints a line to the console when the script runs under CScript.
Open the settings and choose another font size for the editor window.
Version 1.2 fixes the encoding of names with half-width characters.
Please check the log at C:\\temp\\run.log after each nightly build.
The shell object starts the backup at six and mails the report.
""".strip().splitlines()
ENGLISH = " ".join(SENTENCES).replace(".", "").split()

NOUNS, VERBS, ADJECTIVES, KATAKANA = (s.split() for s in (NOUNS, VERBS, ADJECTIVES, KATAKANA))


class Random:
    """xorshift64: the same sequence on every Python version."""

    def __init__(self, seed):
        self.state = seed

    def below(self, n):
        s = self.state
        s ^= (s << 13) & 0xFFFFFFFFFFFFFFFF
        s ^= s >> 7
        s ^= (s << 17) & 0xFFFFFFFFFFFFFFFF
        self.state = s
        return s % n

    def pick(self, items):
        return items[self.below(len(items))]


def japanese_clause(r):
    parts = []
    if r.below(4) == 0:
        parts.append(r.pick(LINKS) + "、")
    for _ in range(1 + r.below(3)):
        roll = r.below(20)
        if roll < 9:
            word = r.pick(NOUNS)
        elif roll < 13:
            word = r.pick(KATAKANA)
        elif roll < 15:
            word = r.pick(ADJECTIVES) + r.pick(NOUNS)
        elif roll < 18:
            word = r.pick(ENGLISH) + " "
        elif roll < 19:
            word = str(r.below(2000)) + r.pick(["年", "個", "行", "KB", "%"])
        else:
            word = r.pick(SYMBOLS + HANKAKU)
        parts.append(word + r.pick(PARTICLES))
    if r.below(3) == 0:
        parts.append(r.pick(ADVERBS))
    if r.below(6) == 0:
        parts.append("「" + r.pick(KATAKANA) + "」と")
    parts.append(r.pick(VERBS))
    return "".join(parts)


def japanese_line(r):
    """Whole sentences, 20 to 80 characters."""
    limit = 20 + r.below(61)
    line = ""
    while len(line) < 20:
        sentence = japanese_clause(r) + r.pick(ENDINGS)
        if len(line) + len(sentence) <= 80:
            line += sentence
        while len(line) < limit:
            sentence = japanese_clause(r) + r.pick(ENDINGS)
            if len(line) + len(sentence) > limit:
                break
            line += sentence
    return line


def english_line(r):
    """A note or a comment line of whole words, 20 to 80 characters."""
    limit = 20 + r.below(61)
    words = r.pick(SENTENCES).split()
    if r.below(3) == 0:
        words = ["//"] + words
    while len(" ".join(words)) > limit and len(" ".join(words[:-1])) >= 20:
        words.pop()
    return " ".join(words)


def main():
    r = Random(0x9E3779B97F4A7C15)
    out = bytearray()
    double = 0
    while len(out) < SIZE:
        # Keep the share of double-byte bytes near one half.
        line = japanese_line(r) if double * 2 < len(out) else english_line(r)
        data = line.encode("cp932") + b"\r\n"
        double += sum(2 for ch in line if len(ch.encode("cp932")) == 2)
        out += data
    while len(out) > SIZE:
        out = out[:out.rindex(b"\r\n", 0, len(out) - 2) + 2]
    with open(os.path.join(HERE, "prose-sjis.txt"), "wb") as f:
        f.write(out)
    print("prose-sjis.txt: %d bytes, %.1f%% in double-byte characters" % (len(out), 100.0 * double / len(out)))


if __name__ == "__main__":
    main()
