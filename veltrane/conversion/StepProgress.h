#pragma once

class JIProgMsgBase;

// Reports done steps of total to the progress object when the percentage changes from *last,
// or at every step with `every`; false, with the run ended, when the user cancels. Without a
// progress object it reports nothing and answers true.
bool ReportStep(JIProgMsgBase *progress, unsigned done, unsigned total, int *last, bool every);
