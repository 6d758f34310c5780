/* Help context numbers of Tessund's windows. tessund.hhp maps each name to its page in [ALIAS]. */
#define IDH_MAIN_WINDOW          1000
#define IDH_INVOICE_LIST         1100
#define IDH_INVOICE_EDIT         1200
#define IDH_PAYMENT_REGISTRATION 1300
#define IDH_CUSTOMER_SELECTION   1400
#define IDH_INVOICE_NOTE         1450
#define IDH_CUSTOMER_LIST        1500
#define IDH_CUSTOMER_EDIT        1600
#define IDH_ITEM_CATALOGUE       1700
#define IDH_POSTAL_CODE_LOOKUP   1800
#define IDH_OPTIONS              2000
#define IDH_REPORTS              3000
