// A cursor over rows held in memory: the result of an SQL text or of a row-set file. Sorting
// and filtering reorder an index list; the rows themselves stay as read.

#include "engine/Cursor.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace engine {

namespace {

class MemoryCursor final : public Cursor {
public:
    MemoryCursor(std::vector<std::vector<QVariant>> rows,
                 std::function<std::vector<std::vector<QVariant>>()> reread)
        : rows_(std::move(rows)), reread_(std::move(reread)) {
        rebuild();
    }

    std::optional<Row> first() override { return at(0); }
    std::optional<Row> last() override { return at(long(order_.size()) - 1); }

    std::optional<Row> next(const Row& from, bool backward) override {
        const long p = indexOf(from.key);
        if (p < 0)
            return backward ? last() : first();
        return at(backward ? p - 1 : p + 1);
    }

    std::optional<Row> find(const detail::Criteria& criteria, const Row& from) override {
        long p = indexOf(from.key);
        if (p < 0)
            p = 0;
        for (; p < long(order_.size()); ++p) {
            if (detail::matches(criteria, rows_[order_[p]]))
                return at(p);
        }
        return std::nullopt;
    }

    std::optional<Row> byKey(qint64 key) override {
        if (key < 0 || key >= qint64(rows_.size()))
            return std::nullopt;
        return Row{key, rows_[size_t(key)]};
    }

    long count() override { return long(order_.size()); }

    long positionOf(const Row& row) override { return indexOf(row.key) + 1; }

    std::optional<Row> atPosition(long position) override { return at(position - 1); }

    void setOrder(const SortSpec& sort, const detail::Criteria& filter) override {
        sort_ = sort;
        filter_ = filter;
        rebuild();
    }

    void requery() override {
        if (reread_)
            rows_ = reread_();
        rebuild();
    }

    std::unique_ptr<Cursor> clone() const override {
        auto c = std::make_unique<MemoryCursor>(rows_, reread_);
        c->setOrder(sort_, filter_);
        return c;
    }

    qint64 insert(const std::vector<QVariant>&, const std::vector<bool>&) override {
        readOnly();
    }
    bool update(qint64, const std::vector<QVariant>&, const std::vector<bool>&) override {
        readOnly();
    }
    void remove(qint64) override { readOnly(); }

private:
    [[noreturn]] static void readOnly() {
        throw EngineError(err::ReadOnly, QStringLiteral("Der Vorgang ist für ein "
                                                        "schreibgeschütztes Objekt nicht zulässig."));
    }

    std::optional<Row> at(long p) const {
        if (p < 0 || p >= long(order_.size()))
            return std::nullopt;
        const qint64 key = order_[size_t(p)];
        return Row{key, rows_[size_t(key)]};
    }

    long indexOf(qint64 key) const {
        if (key < 0 || key >= qint64(positions_.size()))
            return -1;
        return positions_[size_t(key)];
    }

    void rebuild() {
        order_.clear();
        for (size_t i = 0; i < rows_.size(); ++i) {
            if (filter_.empty() || detail::matches(filter_, rows_[i]))
                order_.push_back(qint64(i));
        }
        if (!sort_.empty()) {
            std::stable_sort(order_.begin(), order_.end(), [this](qint64 a, qint64 b) {
                for (const SortKey& k : sort_) {
                    const int c = detail::compareStored(rows_[size_t(a)][k.column],
                                                        rows_[size_t(b)][k.column]);
                    if (c != 0)
                        return k.descending ? c > 0 : c < 0;
                }
                return false;
            });
        }
        positions_.assign(rows_.size(), -1);
        for (size_t p = 0; p < order_.size(); ++p)
            positions_[size_t(order_[p])] = long(p);
    }

    std::vector<std::vector<QVariant>> rows_;
    std::function<std::vector<std::vector<QVariant>>()> reread_;
    SortSpec sort_;
    detail::Criteria filter_;
    std::vector<qint64> order_;
    std::vector<long> positions_;
};

} // namespace

std::unique_ptr<Cursor> makeMemoryCursor(std::vector<std::vector<QVariant>> rows,
                                         std::function<std::vector<std::vector<QVariant>>()> reread) {
    return std::make_unique<MemoryCursor>(std::move(rows), std::move(reread));
}

} // namespace engine
