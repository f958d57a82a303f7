// The property store under random writes, reads and removals with keys that
// differ only in case (Greek final sigma, the Kelvin sign, dotted capital I),
// against a plain list searched one entry at a time.

#include "fuzz_input.h"

#include "platform/toolkit/property_store.h"

#include <vector>

namespace {

struct stored {
    QString key;
    QVariant value;
};

std::vector<stored>::iterator find(std::vector<stored>& list, const QString& key)
{
    for (auto it = list.begin(); it != list.end(); ++it)
        if (it->key.compare(key, Qt::CaseInsensitive) == 0)
            return it;
    return list.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_input in{data, size};
    const QString pieces[] = {"Caption", "caption", "CAPTION", "Σ",  "σ",  "ς", "K", "k",
                              "\u212a",  "İ",       "i",       "ß", "SS", "",  "é", "E\u0301"};
    const auto key = [&] { return pieces[in.byte() % 16] + pieces[in.byte() % 16]; };
    const auto value = [&]() -> QVariant {
        const auto b = in.byte();
        switch (b % 4) {
        case 0: return int(b);
        case 1: return QString(pieces[b % 16]);
        case 2: return bool(b & 4);
        default: return QVariant();
        }
    };

    platform::property_store store;
    std::vector<stored> reference;
    const QString bag_name = pieces[in.byte() % 16];
    while (in.at < in.size) {
        auto& bag = store.bag(bag_name);
        const auto op = in.byte() % 4;
        const QString k = key();
        const auto it = find(reference, k);
        if (op == 0) {
            const QVariant v = value(), d = value();
            bag.write(k, v, d);
            if (it != reference.end())
                reference.erase(it);
            if (v != d)
                reference.push_back({k, v});
        } else if (op == 1) {
            const QVariant d = value();
            FUZZ_CHECK(bag.read(k, d) == (it == reference.end() ? d : it->value));
        } else if (op == 2) {
            bag.remove(k);
            if (it != reference.end())
                reference.erase(it);
        }
        FUZZ_CHECK(bag.contains(k) == (find(reference, k) != reference.end()));
        FUZZ_CHECK(bag.size() == int(reference.size()));
        FUZZ_CHECK(store.find(bag_name) == &bag);
    }
    return 0;
}
