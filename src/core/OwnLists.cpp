// SPDX-License-Identifier: GPL-3.0-or-later
#include "OwnLists.h"

#include "History.h"
#include "HistoryFile.h"
#include "Texts.h"

namespace trenix {

namespace {
void checkListName(const QString &name)
{
    bool control = false;
    for (const QChar c : name)
        control = control || c.category() == QChar::Other_Control;
    if (name.trimmed() != name || name.isEmpty() || name.toUcs4().size() > OwnLists::kMaxName || control)
        throw Error(ErrorKind::Input, text(tid::Lists_badName).arg(name));
}

[[noreturn]] void noSuchList(const QString &name) { throw Error(ErrorKind::Input, text(tid::Lists_missing).arg(name)); }

[[noreturn]] void listExists(const QString &name) { throw Error(ErrorKind::Input, text(tid::Lists_exists).arg(name)); }

std::optional<qint64> listId(Store &store, const QString &name)
{
    Statement st = store.prepare(QStringLiteral("select id from word_lists where name = ?1"));
    st.bind(1, name);
    return st.next() ? std::optional<qint64>(st.integer(0)) : std::nullopt;
}
} // namespace

void OwnLists::writable()
{
    if (!m_file.makeReady())
        throw Error(ErrorKind::StoreOpen, describeHistoryNotice(m_file.status()));
}

std::vector<ListInfo> OwnLists::lists()
{
    return m_file.read(
        [&] {
            std::vector<ListInfo> result;
            Statement st = m_file.store().prepare(QStringLiteral(
                "select l.name, count(w.position) from word_lists l left join list_words w on w.list_id = l.id"
                " group by l.id order by l.name"));
            while (st.next())
                result.push_back({st.text(0), st.integer(1)});
            return result;
        },
        std::vector<ListInfo>());
}

std::optional<std::vector<SetWord>> OwnLists::words(const QString &name)
{
    using Words = std::optional<std::vector<SetWord>>;
    return m_file.read(
        [&]() -> Words {
            Statement list = m_file.store().prepare(QStringLiteral("select id from word_lists where name = ?1"));
            list.bind(1, name);
            if (!list.next())
                return std::nullopt;
            const qint64 id = list.integer(0);
            list.reset();
            std::vector<SetWord> words;
            Statement st = m_file.store().prepare(
                QStringLiteral("select word, pinyin, english from list_words where list_id = ?1 order by position"));
            st.bind(1, id);
            while (st.next())
                words.push_back({st.text(0), st.text(1), st.text(2)});
            return words;
        },
        Words());
}

std::optional<SetWord> OwnLists::ownWord(const QString &word)
{
    return m_file.read(
        [&]() -> std::optional<SetWord> {
            Statement st = m_file.store().prepare(QStringLiteral(
                "select w.word, w.pinyin, w.english from list_words w join word_lists l on l.id = w.list_id"
                " where w.word = ?1 order by l.imported_utc desc, l.id desc limit 1"));
            st.bind(1, word);
            if (!st.next())
                return std::nullopt;
            return SetWord{st.text(0), st.text(1), st.text(2)};
        },
        std::optional<SetWord>());
}

void OwnLists::save(const QString &name, const std::vector<SetWord> &words, bool replace)
{
    checkListName(name);
    writable();
    Transaction tx(m_file.store());
    if (const std::optional<qint64> old = listId(m_file.store(), name)) {
        if (!replace)
            listExists(name);
        Statement drop = m_file.store().prepare(QStringLiteral("delete from word_lists where id = ?1"));
        drop.bind(1, *old).run(); // its words go with it
    }
    Statement list =
        m_file.store().prepare(QStringLiteral("insert into word_lists(name, imported_utc) values (?1, ?2)"));
    list.bind(1, name).bind(2, m_file.clock().utcMs()).run();
    const qint64 id = *listId(m_file.store(), name);
    Statement add = m_file.store().prepare(
        QStringLiteral("insert into list_words(list_id, position, word, pinyin, english) values (?1, ?2, ?3, ?4, ?5)"));
    qint64 position = 0;
    for (const SetWord &w : words)
        add.bind(1, id).bind(2, ++position).bind(3, w.word).bind(4, w.pinyin).bind(5, w.english).run();
    tx.commit();
}

void OwnLists::rename(const QString &from, const QString &to)
{
    checkListName(to);
    writable();
    Transaction tx(m_file.store());
    const std::optional<qint64> id = listId(m_file.store(), from);
    if (!id)
        noSuchList(from);
    if (from == to)
        return;
    if (listId(m_file.store(), to))
        listExists(to);
    Statement st = m_file.store().prepare(QStringLiteral("update word_lists set name = ?2 where id = ?1"));
    st.bind(1, *id).bind(2, to).run();
    tx.commit();
}

void OwnLists::remove(const QString &name)
{
    writable();
    Transaction tx(m_file.store());
    const std::optional<qint64> id = listId(m_file.store(), name);
    if (!id)
        noSuchList(name);
    Statement st = m_file.store().prepare(QStringLiteral("delete from word_lists where id = ?1"));
    st.bind(1, *id).run();
    tx.commit();
}

} // namespace trenix
