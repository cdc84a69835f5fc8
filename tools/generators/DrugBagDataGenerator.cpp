// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugBagDataGenerator.h"

#include "DrugVocabulary.h"
#include "platform/Error.h"

#include <QIODevice>
#include <QStringList>
#include <array>
#include <optional>

namespace korvane {

namespace {

// The shared vocabulary as the labels have always drawn from it: its order and choice decide
// which drug a seed gives.
using vocabulary::choose;
constexpr auto ingredients = choose(
    vocabulary::ingredients,
    std::to_array<std::size_t>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18, 19, 22}));
constexpr auto forms = choose(vocabulary::forms, std::to_array<std::size_t>({0, 1, 3, 2, 6, 5, 9, 7, 11, 4}));
constexpr auto makers =
    choose(vocabulary::makers, std::to_array<std::size_t>({8, 9, 10, 2, 3, 5, 6, 11, 12, 7}));
constexpr auto companySuffixes =
    choose(vocabulary::companySuffixes, std::to_array<std::size_t>({0, 2, 7, 4, 5}));

constexpr std::array<QStringView, 8> strengths{u"500", u"250", u"100", u"50", u"20", u"10", u"5", u"1"};

constexpr std::array<QStringView, 16> complaints{
    u"緩解頭痛", u"牙痛",         u"咽喉痛",       u"關節痛",      u"神經痛", u"肌肉酸痛",
    u"月經痛",   u"退燒",         u"過敏性鼻炎",   u"蕁麻疹",      u"胃潰瘍", u"十二指腸潰瘍",
    u"高血壓",   u"第二型糖尿病", u"高膽固醇血症", u"細菌性感染症"};
constexpr std::array<QStringView, 6> longNotes{
    u"本藥須由醫師處方使用，使用前請詳閱說明書並依醫囑服用，如有不適或症狀持續未改善，應立即就醫。",
    u"對本藥成分過敏者、嚴重肝腎功能不全者、孕婦及授乳婦應避免使用，必要時須經醫師評估後方可使用。",
    u"長期使用時應定期檢查血液、肝功能及腎功能，並注意是否出現皮疹、發燒、呼吸困難等過敏反應。",
    u"與其他含相同成分之藥品併用時，應注意每日總劑量，避免過量服用造成肝臟損傷。",
    u"服藥期間請避免飲酒，駕駛或操作危險機械前應先確認本藥不會引起嗜睡或頭暈。",
    u"老年人、兒童及體重較輕者之劑量應酌減，並由醫師依病情及年齡調整用法用量。"};
constexpr std::array<QStringView, 6> shapes{u"白色圓形",     u"淡黃色橢圓形", u"粉紅色圓形",
                                            u"白色長橢圓形", u"橘色透明",     u"藍白色"};
constexpr std::array<QStringView, 6> instructions{
    u"飯後服用",    u"飯前三十分鐘服用", u"睡前服用", u"每日一次，早餐後服用", u"需要時服用，每日不超過四次",
    u"使用前請搖勻"};
constexpr std::array<QStringView, 6> sideEffects{u"噁心、嘔吐",     u"腹瀉",     u"頭暈、嗜睡",
                                                 u"皮膚紅疹、搔癢", u"食慾不振", u"口乾"};
constexpr std::array<QStringView, 5> warnings{u"服藥期間避免開車", u"孕婦忌用", u"請勿與酒精併服",
                                              u"兒童請在大人監督下使用", u"如有過敏現象請立即停藥"};
constexpr std::array<QStringView, 5> pregnancyCategories{u"A", u"B", u"C", u"D", u"X"};

} // namespace

struct DrugBagDataGenerator::Drug
{
    QString code; // as the NHI writes it, no blanks
    QString english;
    QString ingredient;
    QString form;
    QString formProduct;
    QString maker;
    QString makerShort;
    QString strength;
};

// One table's rows as SQL: multi-row INSERT statements, flushed to the device as they fill.
class DrugBagDataGenerator::Table
{
public:
    Table(QIODevice& device, QString name, QStringList columns)
        : ivDevice(device), ivHead(QStringLiteral("INSERT INTO ") + name + QStringLiteral(" (") +
                                   columns.join(u',') + QStringLiteral(") VALUES\n"))
    {
    }
    ~Table() = default;
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    void row(std::initializer_list<std::optional<QString>> values)
    {
        ivText += ivRows == 0 ? ivHead : QStringLiteral(",\n");
        ivText += u'(';
        bool first = true;
        for (const auto& value : values) {
            if (!first)
                ivText += u',';
            first = false;
            if (!value) {
                ivText += QStringLiteral("NULL");
                continue;
            }
            ivText += u'\'';
            ivText += QString(*value).replace(u'\'', QStringLiteral("''"));
            ivText += u'\'';
        }
        ivText += u')';
        if (++ivRows == kRowsPerStatement)
            endStatement();
    }

    void text(const QString& line)
    {
        endStatement();
        ivText += line;
        ivText += u'\n';
        flush();
    }

    void endStatement()
    {
        if (ivRows > 0)
            ivText += QStringLiteral(";\n");
        ivRows = 0;
        if (ivText.size() > 1 << 20)
            flush();
    }

    void flush()
    {
        const QByteArray bytes = ivText.toUtf8();
        if (ivDevice.write(bytes) != bytes.size())
            throw platform::Error(QStringLiteral("無法寫入產生的資料：") + ivDevice.errorString());
        ivText.resize(0);
    }

private:
    static constexpr int kRowsPerStatement = 200;

    QIODevice& ivDevice;
    QString ivHead;
    QString ivText;
    int ivRows = 0;
};

DrugBagDataGenerator::DrugBagDataGenerator(quint64 p_seed) : ivState(p_seed) {}

quint32 DrugBagDataGenerator::nextRandom()
{
    // PCG32 (XSH RR): small, and the same on every system and library.
    const quint64 old = ivState;
    ivState = old * 6364136223846793005ULL + 1442695040888963407ULL;
    const quint32 shifted = quint32(((old >> 18u) ^ old) >> 27u);
    const quint32 rotation = quint32(old >> 59u);
    return (shifted >> rotation) | (shifted << ((32u - rotation) & 31u));
}

int DrugBagDataGenerator::below(int p_count)
{
    return int(nextRandom() % quint32(p_count));
}

bool DrugBagDataGenerator::chance(int p_perMille)
{
    return below(1000) < p_perMille;
}

QString DrugBagDataGenerator::nextMiddleSix()
{
    // Characters 3 to 8 of a code: a license number and a form digit, unique across the data.
    ivLicense += 1 + below(3);
    return QString::number(ivLicense).rightJustified(6, u'0');
}

DrugBagDataGenerator::Drug DrugBagDataGenerator::nextDrug(QChar p_first, QChar p_second)
{
    Drug drug;
    drug.code = QString(p_first) + p_second + nextMiddleSix() +
                (chance(150) ? QStringLiteral("G0") : QStringLiteral("00"));
    const vocabulary::Name& ingredient = pick(ingredients);
    const vocabulary::Form& form = pick(forms);
    const vocabulary::Name& maker = pick(makers);
    drug.strength = pick(strengths).toString();
    drug.english = u'"' + maker.english.toString() + QStringLiteral("\" ") + ingredient.english.toString() +
                   u' ' + form.english.toString() + u' ' + drug.strength + QStringLiteral("MG");
    drug.ingredient = ingredient.english.toString();
    if (chance(200))
        drug.ingredient += QStringLiteral(" + ") + pick(ingredients).english.toString();
    drug.form = form.chinese.toString();
    drug.formProduct = ingredient.chinese.toString() + form.product.toString();
    drug.makerShort = maker.chinese.toString();
    drug.maker = maker.chinese.toString() + pick(companySuffixes).toString();
    return drug;
}

QString DrugBagDataGenerator::chineseName(const Drug& p_drug)
{
    // As the profile writes them: the maker in quotes, the product, the strength. Now and then a
    // name carries the "#", "?" and "'" that labels leave out.
    QString name =
        u'"' + p_drug.makerShort + u'"' + p_drug.formProduct + p_drug.strength + QStringLiteral("毫克");
    const int odd = below(1000);
    if (odd < 20)
        name.insert(name.size() - 2, u'#');
    else if (odd < 35)
        name += QStringLiteral("?");
    else if (odd < 50)
        name = u'\'' + p_drug.makerShort + u'\'' + p_drug.formProduct + QStringLiteral("#2");
    return name;
}

QString DrugBagDataGenerator::indications()
{
    QString text;
    const int count = 1 + below(4);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += u'、';
        text += pick(complaints);
    }
    text += u'。';
    // Some run far past what a label holds.
    if (chance(150)) {
        while (text.size() <= 260)
            text += pick(longNotes);
    }
    if (chance(40))
        text = QStringLiteral("  ") + text + u' ';
    return text;
}

QString DrugBagDataGenerator::appearance(const Drug& p_drug)
{
    return pick(shapes).toString() + p_drug.form;
}

void DrugBagDataGenerator::writeProfileRow(Table& p_table, const Drug& p_drug)
{
    std::optional<QString> code = p_drug.code;
    const int blanks = below(1000);
    if (blanks < 3)
        code.reset();
    else if (blanks < 15)
        code = u' ' + p_drug.code;
    else if (blanks < 30)
        code = p_drug.code + QStringLiteral("  ");
    const int indicationKind = below(1000);
    std::optional<QString> indication = indications();
    if (indicationKind < 30)
        indication.reset();
    else if (indicationKind < 45)
        indication = QString();
    std::optional<QString> name = chineseName(p_drug);
    if (chance(20))
        name.reset();
    std::optional<QString> form = p_drug.form;
    if (chance(20))
        form.reset();
    p_table.row({code, p_drug.english, name, p_drug.ingredient, form, p_drug.maker, indication});
}

void DrugBagDataGenerator::writeBagRow(Table& p_table, const Drug& p_drug, const QString& p_code)
{
    // Labels a clinic has kept for a while: texts of its own, some left empty or blank.
    auto sometimesEmpty = [this](const QString& value) -> std::optional<QString> {
        const int kind = below(1000);
        if (kind < 60)
            return std::nullopt;
        if (kind < 150)
            return QString();
        if (kind < 180)
            return QStringLiteral("   ");
        return value;
    };
    std::optional<QString> name = u'"' + p_drug.makerShort + u'"' + p_drug.formProduct;
    if (chance(30))
        name.reset();
    std::optional<QString> category = pick(pregnancyCategories).toString();
    if (chance(300))
        category.reset();
    p_table.row({p_code, p_drug.english, name, p_drug.ingredient, p_drug.maker,
                 sometimesEmpty(appearance(p_drug)), sometimesEmpty(pick(complaints).toString() + u'。'),
                 pick(instructions).toString(), pick(sideEffects).toString(), category,
                 pick(warnings).toString()});
}

void DrugBagDataGenerator::write(const Sizes& p_sizes, QIODevice& p_profileSql, QIODevice* p_clinicSql)
{
    static const QStringList bagColumns{
        QStringLiteral("藥品代碼"), QStringLiteral("英文品名"),     QStringLiteral("中文品名"),
        QStringLiteral("成分名稱"), QStringLiteral("廠商名稱"),     QStringLiteral("藥品外觀"),
        QStringLiteral("適應症"),   QStringLiteral("其他用藥指示"), QStringLiteral("副作用"),
        QStringLiteral("孕婦等級"), QStringLiteral("藥品警語")};
    Table profile(p_profileSql, QStringLiteral("tDrugInfoFromNhi"),
                  {QStringLiteral("健保碼"), QStringLiteral("英文名"), QStringLiteral("中文名"),
                   QStringLiteral("成分"), QStringLiteral("劑型"), QStringLiteral("製造廠"),
                   QStringLiteral("適應症")});
    Table bag(p_profileSql, QStringLiteral("tblDrugBag"), bagColumns);
    profile.text(QStringLiteral("BEGIN;"));

    // The profile, and labels for an even sample of its drugs (exactly bagRows of them where the
    // profile has that many). A tenth of the A drugs come as an A0 drug with its AC twin, and
    // now and then a drug has a sibling of the other family ending.
    static constexpr std::array<QChar, 4> firsts{u'A', u'A', u'B', u'N'};
    static constexpr std::array<QChar, 5> seconds{u'0', u'C', u'B', u'A', u'0'};
    qint64 written = 0;
    qint64 labelled = 0;
    std::vector<Drug> family;
    while (written < p_sizes.profileRows) {
        family.clear();
        const QChar first = firsts[size_t(below(int(firsts.size())))];
        const QChar second = seconds[size_t(below(int(seconds.size())))];
        family.push_back(nextDrug(first, second));
        if (first == u'A' && (second == u'0' || second == u'C') && chance(200)) {
            Drug twin = family.front();
            twin.code.replace(1, 1, second == u'C' ? u'0' : u'C');
            family.push_back(twin);
        } else if (chance(30)) {
            Drug sibling = family.front();
            sibling.code.replace(1, 1, second == u'B' ? u'0' : u'B');
            sibling.code.replace(8, 2,
                                 sibling.code.endsWith(QStringLiteral("G0")) ? QStringLiteral("00")
                                                                             : QStringLiteral("G0"));
            family.push_back(sibling);
        }
        for (const Drug& drug : family) {
            if (written == p_sizes.profileRows)
                break;
            writeProfileRow(profile, drug);
            // Selection sampling: each drug is labelled with the chance of the labels still
            // wanted among the drugs still to come.
            const qint64 left = p_sizes.profileRows - written;
            if (below(int(qMin<qint64>(left, 1 << 30))) < p_sizes.bagRows - labelled) {
                writeBagRow(bag, drug, drug.code);
                ++labelled;
            }
            ++written;
        }
    }
    profile.endStatement();
    profile.flush();
    // Labels of drugs the profile does not know (yet).
    for (; labelled < p_sizes.bagRows; ++labelled) {
        const Drug drug = nextDrug(u'A', u'B');
        writeBagRow(bag, drug, drug.code);
    }

    // The clinic's AC drugs: most have an A0 label to copy from, some a label of their own.
    std::optional<Table> drugs;
    if (p_clinicSql) {
        drugs.emplace(*p_clinicSql, QStringLiteral("tblDrugs"),
                      QStringList{QStringLiteral("代碼"), QStringLiteral("藥品英文名稱"),
                                  QStringLiteral("成份"), QStringLiteral("藥品劑型"),
                                  QStringLiteral("製造廠名稱"), QStringLiteral("藥價參考金額")});
        drugs->text(QStringLiteral("BEGIN;"));
    }
    for (qint64 i = 0; i < p_sizes.acDrugs; ++i) {
        const Drug drug = nextDrug(u'A', u'C');
        if (drugs) {
            const QString price = QString::number(1 + below(2000)) + u'.' + QString::number(below(10));
            // Now and then stored with blanks after it, and among other drugs.
            drugs->row({chance(20) ? drug.code + QStringLiteral("  ") : drug.code, drug.english,
                        drug.ingredient, drug.form, drug.maker, price});
            if (chance(250)) {
                const Drug other = nextDrug(u'B', u'C');
                drugs->row({other.code, other.english, other.ingredient, other.form, other.maker, price});
            }
        }
        if (chance(850)) {
            QString a0 = drug.code;
            a0.replace(1, 1, u'0');
            writeBagRow(bag, drug, a0);
        }
        if (chance(300))
            writeBagRow(bag, drug, drug.code);
    }
    if (drugs)
        drugs->text(QStringLiteral("COMMIT;"));
    bag.text(QStringLiteral("COMMIT;"));
}

} // namespace korvane
