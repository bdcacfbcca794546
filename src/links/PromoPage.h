#pragma once

#include <QString>

class ImageLabel;
class QWidget;

// The notebook's second page, which advertises Quorvane Amortizer: three HTML labels whose
// anchors open the product's page, and a screenshot that opens it with the referral tag.
namespace PromoPage {

inline constexpr char productName[] = "Quorvane Amortizer";
inline constexpr char shortName[] = "Amortizer";

// The product's page on the maker's web site, scheme included.
QString productPage();

// What the screenshot opens: the product's page, the referral tag and "About" with the short
// name, run together.
QString screenShotAddress(const QString& refTag);

// Lays out Panel4 with HTMLabel3, HTMLabel2, imgScreenShot and HTMLabel1 on the page and
// returns the screenshot, whose handlers the main window binds.
ImageLabel* build(QWidget* page);

} // namespace PromoPage
