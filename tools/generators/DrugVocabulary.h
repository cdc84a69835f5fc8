// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QStringView>
#include <array>
#include <cstddef>

// The made-up drug vocabulary of the test-data generators. Each generator draws from its own
// choice of entries, in its own order: the data a seed gives must never change, since tests and
// the timing runs are written against it.
namespace korvane::vocabulary {

// An ingredient or a maker, as each language names it.
struct Name
{
    QStringView english;
    QStringView chinese;
};
inline constexpr std::array<Name, 24> ingredients{{{u"AMOXICILLIN", u"安莫西林"},
                                                   {u"ACETAMINOPHEN", u"乙醯胺酚"},
                                                   {u"IBUPROFEN", u"布洛芬"},
                                                   {u"METFORMIN HCL", u"鹽酸二甲雙胍"},
                                                   {u"AMLODIPINE", u"脈優"},
                                                   {u"ATORVASTATIN", u"阿托伐他汀"},
                                                   {u"OMEPRAZOLE", u"奧美拉唑"},
                                                   {u"CEFALEXIN", u"頭孢力新"},
                                                   {u"DICLOFENAC SODIUM", u"待克菲那鈉"},
                                                   {u"LORATADINE", u"羅拉他定"},
                                                   {u"CETIRIZINE HCL", u"鹽酸西替利嗪"},
                                                   {u"FAMOTIDINE", u"法莫替丁"},
                                                   {u"MAGNESIUM OXIDE", u"氧化鎂"},
                                                   {u"SIMETHICONE", u"二甲基矽油"},
                                                   {u"DEXTROMETHORPHAN", u"右美沙芬"},
                                                   {u"CHLORPHENIRAMINE", u"氯苯那敏"},
                                                   {u"PREDNISOLONE", u"潑尼松龍"},
                                                   {u"GLICLAZIDE", u"格列齊特"},
                                                   {u"LOSARTAN POTASSIUM", u"洛沙坦鉀"},
                                                   {u"ASPIRIN", u"阿斯匹靈"},
                                                   {u"VITAMIN B1", u"維生素B1"},
                                                   {u"MEFENAMIC ACID", u"甲芬那酸"},
                                                   {u"BROMHEXINE HCL", u"溴己新"},
                                                   {u"SODIUM CHLORIDE", u"氯化鈉"}}};

struct Form
{
    QStringView english;
    QStringView chinese;
    QStringView product; // as a Chinese product name ends
};
inline constexpr std::array<Form, 13> forms{{{u"TABLETS", u"錠劑", u"錠"},
                                             {u"F.C. TABLETS", u"膜衣錠", u"膜衣錠"},
                                             {u"S.R. TABLETS", u"持續性藥效錠", u"持續性藥效錠"},
                                             {u"CAPSULES", u"膠囊劑", u"膠囊"},
                                             {u"INJECTION", u"注射劑", u"注射液"},
                                             {u"ORAL SOLUTION", u"內服液劑", u"內服液"},
                                             {u"SYRUP", u"糖漿劑", u"糖漿"},
                                             {u"CREAM", u"乳膏劑", u"乳膏"},
                                             {u"OINTMENT", u"軟膏劑", u"軟膏"},
                                             {u"GRANULES", u"顆粒劑", u"顆粒"},
                                             {u"POWDER", u"散劑", u"散"},
                                             {u"EYE DROPS", u"點眼液劑", u"點眼液"},
                                             {u"LOTION", u"外用液劑", u"外用液"}}};

inline constexpr std::array<Name, 13> makers{{{u"KANG HUA", u"康華"},
                                              {u"YUNG AN", u"永安"},
                                              {u"TAI FENG", u"泰豐"},
                                              {u"HSIN TA", u"信達"},
                                              {u"SHENG TAI", u"生泰"},
                                              {u"CHIEN KANG", u"健康"},
                                              {u"HO PING", u"和平"},
                                              {u"TA YU", u"大裕"},
                                              {u"YUNG SHIN", u"永信"},
                                              {u"STANDARD", u"生達"},
                                              {u"SINPHAR", u"杏輝"},
                                              {u"KUNG TA", u"功達"},
                                              {u"HSU AN", u"許安"}}};

// How the Chinese name of a maker ends.
inline constexpr std::array<QStringView, 8> companySuffixes{u"製藥股份有限公司",
                                                            u"藥品有限公司",
                                                            u"化學製藥廠",
                                                            u"藥廠股份有限公司",
                                                            u"生技股份有限公司",
                                                            u"製藥（股）公司",
                                                            u"藥品工業股份有限公司．台中廠",
                                                            u"藥品工業股份有限公司"};

// A generator's own choice from a list: the entries at these places, in this order.
template <typename T, std::size_t N, std::size_t M>
constexpr std::array<T, M> choose(const std::array<T, N>& p_list, const std::array<std::size_t, M>& p_places)
{
    std::array<T, M> chosen{};
    for (std::size_t i = 0; i < M; ++i)
        chosen[i] = p_list[p_places[i]];
    return chosen;
}

} // namespace korvane::vocabulary
