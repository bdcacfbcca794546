#pragma once

class QLabel;

// The layouts give label widths for Arial; a metric-compatible font, or a caption set at run
// time, may need a few pixels more. The label grows to its text away from the edge it is aligned
// to, so that right-aligned captions stay lined up and nothing is cut.
void fitLabelToText(QLabel* label);
