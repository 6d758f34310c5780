<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nb_NO" sourcelanguage="en">
  <context>
    <name>Connection</name>
    <message>
      <source>"%1" is no key=value pair</source>
      <translation>«%1» er ikke et nøkkel=verdi-par</translation>
    </message>
    <message>
      <source>the value of %1 has no closing quote</source>
      <translation>verdien av %1 mangler avsluttende anførselstegn</translation>
    </message>
    <message>
      <source>the value of %1 goes on after its closing quote</source>
      <translation>verdien av %1 fortsetter etter det avsluttende anførselstegnet</translation>
    </message>
    <message>
      <source>"%1" is no port number</source>
      <translation>«%1» er ikke et portnummer</translation>
    </message>
    <message>
      <source>The connection description names no driver</source>
      <translation>Tilkoblingsbeskrivelsen angir ingen driver</translation>
    </message>
    <message>
      <source>The connection description names no database</source>
      <translation>Tilkoblingsbeskrivelsen angir ingen database</translation>
    </message>
    <message>
      <source>The database driver %1 is not available</source>
      <translation>Databasedriveren %1 er ikke tilgjengelig</translation>
    </message>
    <message>
      <source>The database file %1 does not exist</source>
      <translation>Databasefilen %1 finnes ikke</translation>
    </message>
    <message>
      <source>Cannot open the database file %1: %2</source>
      <translation>Kan ikke åpne databasefilen %1: %2</translation>
    </message>
    <message>
      <source>The database %1 is not a file</source>
      <translation>Databasen %1 er ikke en fil</translation>
    </message>
    <message>
      <source>The database file %1 is empty: it holds no database</source>
      <translation>Databasefilen %1 er tom: den inneholder ingen database</translation>
    </message>
    <message>
      <source>The database file %1 is read-only: %2</source>
      <translation>Databasefilen %1 er skrivebeskyttet: %2</translation>
    </message>
    <message>
      <source>The folder %1 of the database file is read-only: %2</source>
      <translation>Mappen %1 som databasefilen ligger i, er skrivebeskyttet: %2</translation>
    </message>
    <message>
      <source>The database engine does not enforce foreign keys</source>
      <translation>Databasemotoren håndhever ikke fremmednøkler</translation>
    </message>
    <message>
      <source>A transaction is already open on the connection</source>
      <translation>En transaksjon er allerede åpen på forbindelsen</translation>
    </message>
    <message>
      <source>No transaction is open on the connection</source>
      <translation>Ingen transaksjon er åpen på forbindelsen</translation>
    </message>
    <message>
      <source>A change inside the transaction is not finished</source>
      <translation>En endring inne i transaksjonen er ikke fullført</translation>
    </message>
    <message>
      <source>The database undid the changes after an earlier error; nothing was saved</source>
      <translation>Databasen angret endringene etter en tidligere feil; ingenting ble lagret</translation>
    </message>
    <message>
      <source>The data link file %1 is not a text file</source>
      <translation>Datakoblingsfilen %1 er ikke en tekstfil</translation>
    </message>
    <message>
      <source>The data link file %1 cannot be used: %2</source>
      <translation>Datakoblingsfilen %1 kan ikke brukes: %2</translation>
    </message>
    <message>
      <source>The data link file %1 holds no connection description</source>
      <translation>Datakoblingsfilen %1 inneholder ingen tilkoblingsbeskrivelse</translation>
    </message>
    <message>
      <source>The data link file %1 names no driver</source>
      <translation>Datakoblingsfilen %1 angir ingen driver</translation>
    </message>
    <message>
      <source>The data link file %1 names no database</source>
      <translation>Datakoblingsfilen %1 angir ingen database</translation>
    </message>
    <message>
      <source>The data link file %1 cannot be read: %2</source>
      <translation>Datakoblingsfilen %1 kan ikke leses: %2</translation>
    </message>
    <message>
      <source>The data link file %1 is a folder, not a file</source>
      <translation>Datakoblingsfilen %1 er en mappe, ikke en fil</translation>
    </message>
    <message>
      <source>The data link file %1 is not a regular file</source>
      <translation>Datakoblingsfilen %1 er ikke en vanlig fil</translation>
    </message>
    <message>
      <source>The data link file %1 is too large to be one</source>
      <translation>Datakoblingsfilen %1 er for stor til å være en datakoblingsfil</translation>
    </message>
    <message>
      <source>The connection description cannot be used: %1</source>
      <translation>Tilkoblingsbeskrivelsen kan ikke brukes: %1</translation>
    </message>
    <message>
      <source>The database connection is not open</source>
      <translation>Databaseforbindelsen er ikke åpen</translation>
    </message>
  </context>
  <context>
    <name>DBGrid</name>
    <message>
      <source>Delete record?</source>
      <translation>Slette posten?</translation>
    </message>
  </context>
  <context>
    <name>Field</name>
    <message>
      <source>Field '%1' cannot be modified</source>
      <translation>Feltet '%1' kan ikke endres</translation>
    </message>
    <message>
      <source>Dataset not in edit or insert mode</source>
      <translation>Datasettet er ikke i redigerings- eller innsettingsmodus</translation>
    </message>
    <message>
      <source>True</source>
      <translation>Sann</translation>
    </message>
    <message>
      <source>False</source>
      <translation>Usann</translation>
    </message>
    <message>
      <source>'%1' is not a valid floating point value for field '%2'</source>
      <translation>'%1' er ikke en gyldig desimalverdi for feltet '%2'</translation>
    </message>
    <message>
      <source>'%1' is beyond the largest amount field '%2' can hold</source>
      <translation>'%1' er større enn det største beløpet feltet '%2' kan ha</translation>
    </message>
    <message>
      <source>'%1' is not a valid integer value for field '%2'</source>
      <translation>'%1' er ikke en gyldig heltallsverdi for feltet '%2'</translation>
    </message>
    <message>
      <source>'%1' is not a valid date</source>
      <translation>'%1' er ikke en gyldig dato</translation>
    </message>
    <message>
      <source>'%1' is not a valid boolean value for field '%2'</source>
      <translation>'%1' er ikke en gyldig sannhetsverdi for feltet '%2'</translation>
    </message>
  </context>
  <context>
    <name>InvoiceComposition</name>
    <message>
      <source>%1 "%2" cannot be read</source>
      <translation>%1 «%2» kan ikke leses</translation>
    </message>
    <message>
      <source>%1 is missing</source>
      <translation>%1 mangler</translation>
    </message>
    <message>
      <source>the customer number</source>
      <translation>kundenummeret</translation>
    </message>
    <message>
      <source>the customer's first name</source>
      <translation>kundens fornavn</translation>
    </message>
    <message>
      <source>the customer's surname</source>
      <translation>kundens etternavn</translation>
    </message>
    <message>
      <source>the customer's address</source>
      <translation>kundens adresse</translation>
    </message>
    <message>
      <source>the customer's postcode</source>
      <translation>kundens postnummer</translation>
    </message>
    <message>
      <source>the customer's postal address</source>
      <translation>kundens poststed</translation>
    </message>
    <message>
      <source>the customer's e-mail address</source>
      <translation>kundens e-postadresse</translation>
    </message>
    <message>
      <source>the paid date</source>
      <translation>betalingsdatoen</translation>
    </message>
    <message>
      <source>the print date</source>
      <translation>utskriftsdatoen</translation>
    </message>
    <message>
      <source>the sum paid</source>
      <translation>innbetalt beløp</translation>
    </message>
    <message>
      <source>the order number</source>
      <translation>ordrenummeret</translation>
    </message>
    <message>
      <source>our reference</source>
      <translation>vår referanse</translation>
    </message>
    <message>
      <source>your reference</source>
      <translation>deres referanse</translation>
    </message>
    <message>
      <source>the invoice type</source>
      <translation>fakturatypen</translation>
    </message>
    <message>
      <source>the invoice notice</source>
      <translation>fakturamerknaden</translation>
    </message>
    <message>
      <source>the item code</source>
      <translation>varenummeret</translation>
    </message>
    <message>
      <source>the description</source>
      <translation>beskrivelsen</translation>
    </message>
    <message>
      <source>the discount</source>
      <translation>rabatten</translation>
    </message>
    <message>
      <source>the gross price</source>
      <translation>bruttoprisen</translation>
    </message>
    <message>
      <source>the net sum</source>
      <translation>nettobeløpet</translation>
    </message>
    <message>
      <source>the VAT</source>
      <translation>MVA</translation>
    </message>
    <message>
      <source>the gross sum</source>
      <translation>bruttobeløpet</translation>
    </message>
    <message>
      <source>the invoice number</source>
      <translation>fakturanummeret</translation>
    </message>
    <message>
      <source>the invoice date</source>
      <translation>fakturadatoen</translation>
    </message>
    <message>
      <source>the customer</source>
      <translation>kunden</translation>
    </message>
    <message>
      <source>the total</source>
      <translation>totalbeløpet</translation>
    </message>
    <message>
      <source>the customer %1 does not exist</source>
      <translation>kunde %1 finnes ikke</translation>
    </message>
    <message>
      <source>the due date</source>
      <translation>forfallsdatoen</translation>
    </message>
    <message>
      <source>the quantity</source>
      <translation>antallet</translation>
    </message>
    <message>
      <source>the price</source>
      <translation>prisen</translation>
    </message>
    <message>
      <source>line %1: %2</source>
      <translation>linje %1: %2</translation>
    </message>
    <message>
      <source>Invoice %1 is printed without these values: %2</source>
      <translation>Faktura %1 skrives ut uten disse verdiene: %2</translation>
    </message>
    <message>
      <source>The invoice with id %1 cannot be printed: %2</source>
      <translation>Fakturaen med id %1 kan ikke skrives ut: %2</translation>
    </message>
  </context>
  <context>
    <name>InvoiceKind</name>
    <message>
      <source>Invoice</source>
      <translation>Faktura</translation>
    </message>
    <message>
      <source>Reminder</source>
      <translation>Purring</translation>
    </message>
    <message>
      <source>Final notice</source>
      <translation>Inkassovarsel</translation>
    </message>
    <message>
      <source>Credit</source>
      <translation>Kreditnota</translation>
    </message>
    <message>
      <source>Unkown</source>
      <translation>Ukjent</translation>
    </message>
  </context>
  <context>
    <name>InvoiceOutput</name>
    <message>
      <source>Make PDF file</source>
      <translation>Lag PDF-fil</translation>
    </message>
    <message>
      <source>PDF files (*.pdf)</source>
      <translation>PDF-filer (*.pdf)</translation>
    </message>
    <message>
      <source>Cannot make a folder for the e-mail attachment in %1: %2</source>
      <translation>Kan ikke lage en mappe for e-postvedlegget i %1: %2</translation>
    </message>
    <message>
      <source>Error trying to start e-mail clinet</source>
      <translation>Feil ved start av e-postprogrammet</translation>
    </message>
  </context>
  <context>
    <name>ListReports</name>
    <message>
      <source>No invoice transaction for given period</source>
      <translation>Ingen fakturatransaksjoner i angitt periode</translation>
    </message>
  </context>
  <context>
    <name>MailClient</name>
    <message>
      <source>The e-mail address "%1" is not a plain address such as name@firma.no, so it is not handed to the mail client. Correct it on the customer's card.</source>
      <translation>E-postadressen «%1» er ikke en vanlig adresse som navn@firma.no, så den blir ikke gitt videre til e-postprogrammet. Rett den på kundekortet.</translation>
    </message>
  </context>
  <context>
    <name>MessageDialog</name>
    <message>
      <source>Error</source>
      <translation>Feil</translation>
    </message>
    <message>
      <source>Warning</source>
      <translation>Advarsel</translation>
    </message>
    <message>
      <source>Confirm</source>
      <translation>Bekreft</translation>
    </message>
    <message>
      <source>Information</source>
      <translation>Informasjon</translation>
    </message>
    <message>
      <source>OK</source>
      <translation>OK</translation>
    </message>
    <message>
      <source>&amp;Yes</source>
      <translation>&amp;Ja</translation>
    </message>
    <message>
      <source>&amp;No</source>
      <translation>&amp;Nei</translation>
    </message>
    <message>
      <source>Cancel</source>
      <translation>Avbryt</translation>
    </message>
    <message>
      <source>N&amp;o to All</source>
      <translation>N&amp;ei til alle</translation>
    </message>
    <message>
      <source>Yes to &amp;All</source>
      <translation>Ja til &amp;alle</translation>
    </message>
  </context>
  <context>
    <name>Money</name>
    <message>
      <source>The amount %1 is beyond the largest amount money can hold</source>
      <translation>Beløpet %1 er større enn det største beløpet som kan lagres</translation>
    </message>
    <message>
      <source>A sum of amounts is beyond the largest amount money can hold</source>
      <translation>En sum av beløp er større enn det største beløpet som kan lagres</translation>
    </message>
  </context>
  <context>
    <name>Printers</name>
    <message>
      <source>There is no default printer currently selected</source>
      <translation>Ingen standardskriver er valgt</translation>
    </message>
  </context>
  <context>
    <name>Report</name>
    <message>
      <source>"%1" does not fit its field on the page, even in the smallest legible size</source>
      <translation>«%1» får ikke plass i feltet sitt på siden, heller ikke i den minste lesbare størrelsen</translation>
    </message>
    <message>
      <source>%1 %2: %3 "%4"</source>
      <translation>%1 %2: %3 «%4»</translation>
    </message>
    <message>
      <source>and %1 more</source>
      <translation>og %1 til</translation>
    </message>
    <message>
      <source>Stored values that cannot be read are printed empty: %1</source>
      <translation>Lagrede verdier som ikke kan leses, skrives ut tomme: %1</translation>
    </message>
    <message>
      <source>Cannot write the RTF file "%1": %2</source>
      <translation>Kan ikke skrive RTF-filen «%1»: %2</translation>
    </message>
    <message>
      <source>Preparing the report...</source>
      <translation>Lager rapporten ...</translation>
    </message>
    <message>
      <source>the folder is read-only (%1)</source>
      <translation>mappen er skrivebeskyttet (%1)</translation>
    </message>
    <message>
      <source>it is a symbolic link, not a file</source>
      <translation>det er en symbolsk lenke, ikke en fil</translation>
    </message>
    <message>
      <source>it is a folder</source>
      <translation>det er en mappe</translation>
    </message>
    <message>
      <source>it is not a regular file</source>
      <translation>det er ikke en vanlig fil</translation>
    </message>
    <message>
      <source>the file is read-only (%1)</source>
      <translation>filen er skrivebeskyttet (%1)</translation>
    </message>
    <message>
      <source>Cannot write the PDF file "%1": %2</source>
      <translation>Kan ikke skrive PDF-filen «%1»: %2</translation>
    </message>
    <message>
      <source>The printer "%1" stopped printing the document</source>
      <translation>Skriveren «%1» stoppet utskriften av dokumentet</translation>
    </message>
    <message>
      <source>The printer "%1" could not finish the document</source>
      <translation>Skriveren «%1» kunne ikke fullføre dokumentet</translation>
    </message>
    <message>
      <source>The printer "%1" cannot print the document</source>
      <translation>Skriveren «%1» kan ikke skrive ut dokumentet</translation>
    </message>
    <message>
      <source>Cancel</source>
      <translation>Avbryt</translation>
    </message>
  </context>
  <context>
    <name>Schema</name>
    <message>
      <source>#</source>
      <translation>#</translation>
    </message>
    <message>
      <source>Firstname</source>
      <translation>Fornavn</translation>
    </message>
    <message>
      <source>Surname</source>
      <translation>Etternavn</translation>
    </message>
    <message>
      <source>Address</source>
      <translation>Adresse</translation>
    </message>
    <message>
      <source>Postcode</source>
      <translation>Postnummer</translation>
    </message>
    <message>
      <source>Postaddress</source>
      <translation>Poststed</translation>
    </message>
    <message>
      <source>Phone #1</source>
      <translation>Telefon 1</translation>
    </message>
    <message>
      <source>Phone #2</source>
      <translation>Telefon 2</translation>
    </message>
    <message>
      <source>E-mail</source>
      <translation>E-post</translation>
    </message>
    <message>
      <source>Misc</source>
      <translation>Diverse</translation>
    </message>
    <message>
      <source>Status</source>
      <translation>Status</translation>
    </message>
    <message>
      <source>Our ref.</source>
      <translation>Vår ref.</translation>
    </message>
    <message>
      <source>Your ref.</source>
      <translation>Deres ref.</translation>
    </message>
    <message>
      <source>Order #</source>
      <translation>Ordrenr.</translation>
    </message>
    <message>
      <source>Item code</source>
      <translation>Varekode</translation>
    </message>
    <message>
      <source>Description</source>
      <translation>Beskrivelse</translation>
    </message>
    <message>
      <source>Amount</source>
      <translation>Antall</translation>
    </message>
    <message>
      <source>VAT %</source>
      <translation>MVA %</translation>
    </message>
    <message>
      <source>The line view INVITEMVIEW of %1 cannot be brought up to date: %2</source>
      <translation>Linjevisningen INVITEMVIEW i %1 kan ikke oppdateres: %2</translation>
    </message>
    <message>
      <source>%1 is not an invoice database: %2</source>
      <translation>%1 er ikke en fakturadatabase: %2</translation>
    </message>
    <message>
      <source>the table %1 is missing</source>
      <translation>tabellen %1 mangler</translation>
    </message>
    <message>
      <source>the view %1 is missing</source>
      <translation>visningen %1 mangler</translation>
    </message>
    <message>
      <source>%1 is a view, not a table</source>
      <translation>%1 er en visning, ikke en tabell</translation>
    </message>
    <message>
      <source>%1 is a table, not a view</source>
      <translation>%1 er en tabell, ikke en visning</translation>
    </message>
    <message>
      <source>%1 cannot be read: %2</source>
      <translation>%1 kan ikke leses: %2</translation>
    </message>
    <message>
      <source>the column %1.%2 is missing</source>
      <translation>kolonnen %1.%2 mangler</translation>
    </message>
    <message>
      <source>the column %1.%2 is of type %3, not %4</source>
      <translation>kolonnen %1.%2 er av typen %3, ikke %4</translation>
    </message>
    <message>
      <source>none</source>
      <translation>ingen</translation>
    </message>
  </context>
  <context>
    <name>TDBSettings</name>
    <message>
      <source>Appsetting name "%1" to long.</source>
      <translation>Innstillingsnavnet "%1" er for langt.</translation>
    </message>
  </context>
  <context>
    <name>THelpWindow</name>
    <message>
      <source>Help</source>
      <translation>Hjelp</translation>
    </message>
    <message>
      <source>Contents</source>
      <translation>Innhold</translation>
    </message>
    <message>
      <source>Index</source>
      <translation>Stikkord</translation>
    </message>
    <message>
      <source>Type a word to look for</source>
      <translation>Skriv et ord å lete etter</translation>
    </message>
    <message>
      <source>Back</source>
      <translation>Tilbake</translation>
    </message>
    <message>
      <source>Forward</source>
      <translation>Fram</translation>
    </message>
    <message>
      <source>Home</source>
      <translation>Start</translation>
    </message>
  </context>
  <context>
    <name>TInjectedDateTimePicker</name>
    <message>
      <source>Calendar (Alt+Down)</source>
      <translation>Kalender (Alt+Pil ned)</translation>
    </message>
  </context>
  <context>
    <name>TRegSettings</name>
    <message>
      <source>The user settings cannot be written to %1</source>
      <translation>Brukerinnstillingene kan ikke skrives til %1</translation>
    </message>
  </context>
  <context>
    <name>TdmInvoice</name>
    <message>
      <source>Item code</source>
      <translation>Varenr.</translation>
    </message>
    <message>
      <source>Description</source>
      <translation>Beskrivelse</translation>
    </message>
    <message>
      <source>Net price</source>
      <translation>Nettopris</translation>
    </message>
    <message>
      <source>VAT%</source>
      <translation>MVA%</translation>
    </message>
    <message>
      <source>Gross price</source>
      <translation>Bruttopris</translation>
    </message>
    <message>
      <source>Paid date</source>
      <translation>Betalt dato</translation>
    </message>
    <message>
      <source>Sum paid</source>
      <translation>Betalt sum</translation>
    </message>
    <message>
      <source>Database error. Unable to continue.</source>
      <translation>Databasefeil. Kan ikke fortsette.</translation>
    </message>
    <message>
      <source>Database corrupt?!?. Missing internal unique invoice no.</source>
      <translation>Databasen er skadet?!?. Mangler fakturaens interne unike nummer.</translation>
    </message>
    <message>
      <source>A gross price cannot give a net price at a VAT of %1 %</source>
      <translation>En bruttopris kan ikke gi en nettopris med MVA på %1 %</translation>
    </message>
    <message>
      <source>The line's amounts are beyond what an invoice can hold</source>
      <translation>Linjens beløp er større enn en faktura kan ha</translation>
    </message>
    <message>
      <source>The item's gross price is beyond the largest amount money can hold</source>
      <translation>Varens bruttopris er større enn det største beløpet som kan lagres</translation>
    </message>
    <message>
      <source>The VAT must be from 0 to 100 %; %1 is not</source>
      <translation>MVA må være fra 0 til 100 %; %1 er ikke det</translation>
    </message>
    <message>
      <source>Delete selected invoice # %1?</source>
      <translation>Slette valgt faktura nr. %1?</translation>
    </message>
    <message>
      <source>No</source>
      <translation>Nei</translation>
    </message>
    <message>
      <source>Yes</source>
      <translation>Ja</translation>
    </message>
  </context>
  <context>
    <name>TframeCustomer</name>
    <message>
      <source>&amp;Phone/Mobile</source>
      <translation>&amp;Telefon/mobil</translation>
    </message>
    <message>
      <source>&amp;E-mail</source>
      <translation>&amp;E-post</translation>
    </message>
    <message>
      <source>&amp;Status</source>
      <translation>&amp;Status</translation>
    </message>
    <message>
      <source>Status</source>
      <translation>Status</translation>
    </message>
    <message>
      <source>Use this field for column sorting</source>
      <translation>Bruk dette feltet til sortering</translation>
    </message>
    <message>
      <source>&amp;Misc</source>
      <translation>&amp;Diverse</translation>
    </message>
  </context>
  <context>
    <name>TframeCustomer1</name>
    <message>
      <source>Customer #</source>
      <translation>Kundenr.</translation>
    </message>
    <message>
      <source>&amp;Name</source>
      <translation>&amp;Navn</translation>
    </message>
    <message>
      <source>A&amp;ddress</source>
      <translation>A&amp;dresse</translation>
    </message>
    <message>
      <source>Postal Address</source>
      <translation>Postnr./sted</translation>
    </message>
    <message>
      <source>&amp;...</source>
      <translation>&amp;...</translation>
    </message>
  </context>
  <context>
    <name>TframeInvoice</name>
    <message>
      <source>Invoce No</source>
      <translation>Fakturanr.</translation>
    </message>
    <message>
      <source>Date</source>
      <translation>Dato</translation>
    </message>
    <message>
      <source>Due date</source>
      <translation>Forfallsdato</translation>
    </message>
    <message>
      <source>Our ref.</source>
      <translation>Vår ref.</translation>
    </message>
    <message>
      <source>Your ref.</source>
      <translation>Deres ref.</translation>
    </message>
    <message>
      <source>Order #</source>
      <translation>Ordrenr.</translation>
    </message>
    <message>
      <source>KID</source>
      <translation>KID</translation>
    </message>
    <message>
      <source>&amp;Print date</source>
      <translation>&amp;Utskriftsdato</translation>
    </message>
    <message>
      <source>Paid date</source>
      <translation>Betalt dato</translation>
    </message>
    <message>
      <source>&amp;Invoice notice</source>
      <translation>&amp;Fakturatekst</translation>
    </message>
    <message>
      <source>Notice</source>
      <translation>Tekst</translation>
    </message>
    <message>
      <source>Text noteice printed on invoice. Legal stuff etc.. </source>
      <translation>Tekst som skrives ut på fakturaen. Vilkår o.l. </translation>
    </message>
    <message>
      <source>Invoice type</source>
      <translation>Fakturatype</translation>
    </message>
    <message>
      <source>Normal</source>
      <translation>Normal</translation>
    </message>
    <message>
      <source>Reminder</source>
      <translation>Purring</translation>
    </message>
    <message>
      <source>Final Notice</source>
      <translation>Inkassovarsel</translation>
    </message>
    <message>
      <source>Credit</source>
      <translation>Kreditt</translation>
    </message>
  </context>
  <context>
    <name>TfrmAboutBox</name>
    <message>
      <source>About</source>
      <translation>Om</translation>
    </message>
    <message>
      <source>Version: unknown</source>
      <translation>Versjon: ukjent</translation>
    </message>
    <message>
      <source>OK</source>
      <translation>OK</translation>
    </message>
  </context>
  <context>
    <name>TfrmCustomerEdit</name>
    <message>
      <source>Customer</source>
      <translation>Kunde</translation>
    </message>
    <message>
      <source>Details</source>
      <translation>Detaljer</translation>
    </message>
    <message>
      <source>&amp;Invoices</source>
      <translation>&amp;Fakturaer</translation>
    </message>
    <message>
      <source>OK</source>
      <translation>OK</translation>
    </message>
    <message>
      <source>Cancel</source>
      <translation>Avbryt</translation>
    </message>
    <message>
      <source>&amp;Help</source>
      <translation>&amp;Hjelp</translation>
    </message>
    <message>
      <source>Help</source>
      <translation>Hjelp</translation>
    </message>
    <message>
      <source>Show help for this topics</source>
      <translation>Vis hjelp for dette emnet</translation>
    </message>
    <message>
      <source>&amp;Apply</source>
      <translation>&amp;Bruk</translation>
    </message>
    <message>
      <source>id</source>
      <translation>id</translation>
    </message>
    <message>
      <source>#</source>
      <translation>Nr.</translation>
    </message>
    <message>
      <source>Date</source>
      <translation>Dato</translation>
    </message>
    <message>
      <source>Sum</source>
      <translation>Sum</translation>
    </message>
    <message>
      <source>Due date</source>
      <translation>Forfallsdato</translation>
    </message>
    <message>
      <source>Paid</source>
      <translation>Betalt</translation>
    </message>
    <message>
      <source>Printed</source>
      <translation>Skrevet ut</translation>
    </message>
    <message>
      <source>Customer - </source>
      <translation>Kunde - </translation>
    </message>
  </context>
  <context>
    <name>TfrmCustomerList</name>
    <message>
      <source>Customers</source>
      <translation>Kunder</translation>
    </message>
    <message>
      <source>Edit Customer</source>
      <translation>Rediger kunde</translation>
    </message>
    <message>
      <source>Customer details</source>
      <translation>Kundedetaljer</translation>
    </message>
    <message>
      <source>Show/edit customer details</source>
      <translation>Vis eller rediger kundens detaljer</translation>
    </message>
    <message>
      <source>Delete customer</source>
      <translation>Slett kunde</translation>
    </message>
    <message>
      <source>Delete selected customer(s)</source>
      <translation>Slett valgte kunder</translation>
    </message>
    <message>
      <source>New Customer</source>
      <translation>Ny kunde</translation>
    </message>
    <message>
      <source>New customer</source>
      <translation>Ny kunde</translation>
    </message>
    <message>
      <source>Create a new customer</source>
      <translation>Opprett en ny kunde</translation>
    </message>
    <message>
      <source>New Invoice</source>
      <translation>Ny faktura</translation>
    </message>
    <message>
      <source>Create a new invoice for the selected customer</source>
      <translation>Lag en ny faktura for valgt kunde</translation>
    </message>
    <message>
      <source>Refresh</source>
      <translation>Oppdater</translation>
    </message>
    <message>
      <source>Refresh dataset</source>
      <translation>Les listen på nytt</translation>
    </message>
    <message>
      <source>Cust #</source>
      <translation>Kundenr.</translation>
    </message>
    <message>
      <source>Firstname</source>
      <translation>Fornavn</translation>
    </message>
    <message>
      <source>Surname</source>
      <translation>Etternavn</translation>
    </message>
    <message>
      <source>Address</source>
      <translation>Adresse</translation>
    </message>
    <message>
      <source>Postcode</source>
      <translation>Postnr.</translation>
    </message>
    <message>
      <source>Postaddress</source>
      <translation>Poststed</translation>
    </message>
    <message>
      <source>E-mail</source>
      <translation>E-post</translation>
    </message>
    <message>
      <source>Status</source>
      <translation>Status</translation>
    </message>
    <message>
      <source>&amp;Customer</source>
      <translation>&amp;Kunde</translation>
    </message>
    <message>
      <source>Delete selected customer(s) and related invoices?</source>
      <translation>Slette valgte kunder og deres fakturaer?</translation>
    </message>
    <message>
      <source>Save the changes to this customer?</source>
      <translation>Lagre endringene for denne kunden?</translation>
    </message>
  </context>
  <context>
    <name>TfrmCustomerSelect</name>
    <message>
      <source>Select Customer</source>
      <translation>Velg kunde</translation>
    </message>
    <message>
      <source>OK</source>
      <translation>OK</translation>
    </message>
    <message>
      <source>Select current customer as new owner of the invoice</source>
      <translation>Velg denne kunden som ny eier av fakturaen</translation>
    </message>
    <message>
      <source>Cancel</source>
      <translation>Avbryt</translation>
    </message>
    <message>
      <source>Don't change customer owner</source>
      <translation>Ikke bytt kunde på fakturaen</translation>
    </message>
    <message>
      <source>&amp;Help</source>
      <translation>&amp;Hjelp</translation>
    </message>
    <message>
      <source>Help</source>
      <translation>Hjelp</translation>
    </message>
    <message>
      <source>Show help for this topics</source>
      <translation>Vis hjelp for dette emnet</translation>
    </message>
    <message>
      <source>Customer #</source>
      <translation>Kundenr.</translation>
    </message>
    <message>
      <source>Firstname</source>
      <translation>Fornavn</translation>
    </message>
    <message>
      <source>Surname</source>
      <translation>Etternavn</translation>
    </message>
    <message>
      <source>Status</source>
      <translation>Status</translation>
    </message>
  </context>
  <context>
    <name>TfrmInvoiceEdit</name>
    <message>
      <source>Invoice details</source>
      <translation>Faktura</translation>
    </message>
    <message>
      <source>&amp;Customer</source>
      <translation>&amp;Kunde</translation>
    </message>
    <message>
      <source>Customer</source>
      <translation>Kunde</translation>
    </message>
    <message>
      <source>Change customer for this invoice</source>
      <translation>Bytt kunde på denne fakturaen</translation>
    </message>
    <message>
      <source>Pre&amp;view</source>
      <translation>&amp;Forhåndsvis</translation>
    </message>
    <message>
      <source>Print</source>
      <translation>Skriv ut</translation>
    </message>
    <message>
      <source>Save</source>
      <translation>Lagre</translation>
    </message>
    <message>
      <source>&amp;Round total</source>
      <translation>&amp;Rund av total</translation>
    </message>
    <message>
      <source>Insert line</source>
      <translation>Ny linje</translation>
    </message>
    <message>
      <source>Delete line</source>
      <translation>Slett linje</translation>
    </message>
    <message>
      <source>Post line</source>
      <translation>Lagre linje</translation>
    </message>
    <message>
      <source>&amp;OK</source>
      <translation>&amp;OK</translation>
    </message>
    <message>
      <source>Cancel</source>
      <translation>Avbryt</translation>
    </message>
    <message>
      <source>&amp;Apply</source>
      <translation>&amp;Bruk</translation>
    </message>
    <message>
      <source>&amp;Help</source>
      <translation>&amp;Hjelp</translation>
    </message>
    <message>
      <source>Help</source>
      <translation>Hjelp</translation>
    </message>
    <message>
      <source>Show help for this topics</source>
      <translation>Vis hjelp for dette emnet</translation>
    </message>
    <message>
      <source>Net total:</source>
      <translation>Netto total:</translation>
    </message>
    <message>
      <source>VAT total:</source>
      <translation>MVA total:</translation>
    </message>
    <message>
      <source>Gross total:</source>
      <translation>Brutto total:</translation>
    </message>
    <message>
      <source>Pick an item from the catalogue (Alt+Down)</source>
      <translation>Velg en vare fra varelisten (Alt+Pil ned)</translation>
    </message>
    <message>
      <source>Net price</source>
      <translation>Nettopris</translation>
    </message>
    <message>
      <source>VAT%</source>
      <translation>MVA%</translation>
    </message>
    <message>
      <source>Gross price</source>
      <translation>Bruttopris</translation>
    </message>
    <message>
      <source>Discount</source>
      <translation>Rabatt</translation>
    </message>
    <message>
      <source>Net sum</source>
      <translation>Nettosum</translation>
    </message>
    <message>
      <source>VAT sum</source>
      <translation>MVA-sum</translation>
    </message>
    <message>
      <source>Gross sum</source>
      <translation>Bruttosum</translation>
    </message>
    <message>
      <source>Discard the changes made to this invoice?</source>
      <translation>Forkaste endringene i denne fakturaen?</translation>
    </message>
    <message>
      <source>The invoice has no gross total to round yet</source>
      <translation>Fakturaen har ingen bruttosum å runde av ennå</translation>
    </message>
  </context>
  <context>
    <name>TfrmInvoiceList</name>
    <message>
      <source>Invoices</source>
      <translation>Fakturaer</translation>
    </message>
    <message>
      <source>Edit</source>
      <translation>Rediger</translation>
    </message>
    <message>
      <source>Show/Edit selected invoice</source>
      <translation>Vis eller rediger valgt faktura</translation>
    </message>
    <message>
      <source>Delete</source>
      <translation>Slett</translation>
    </message>
    <message>
      <source>Delete selected invoice</source>
      <translation>Slett valgt faktura</translation>
    </message>
    <message>
      <source>Print preview</source>
      <translation>Forhåndsvisning</translation>
    </message>
    <message>
      <source>Preview</source>
      <translation>Forhåndsvis</translation>
    </message>
    <message>
      <source>Preview|Preview invoice</source>
      <translation>Forhåndsvis|Forhåndsvis faktura</translation>
    </message>
    <message>
      <source>Print</source>
      <translation>Skriv ut</translation>
    </message>
    <message>
      <source>Print invoice</source>
      <translation>Skriv ut faktura</translation>
    </message>
    <message>
      <source>Save PDF</source>
      <translation>Lagre PDF</translation>
    </message>
    <message>
      <source>Save fil to Adobe PDF format</source>
      <translation>Lagre som PDF-fil</translation>
    </message>
    <message>
      <source>E-mail</source>
      <translation>E-post</translation>
    </message>
    <message>
      <source>Send Invoice as e-mail</source>
      <translation>Send fakturaen som e-post</translation>
    </message>
    <message>
      <source>Refresh</source>
      <translation>Oppdater</translation>
    </message>
    <message>
      <source>Refresh invoice list in order to see latest changes</source>
      <translation>Les fakturalisten på nytt for å se de siste endringene</translation>
    </message>
    <message>
      <source>Payments</source>
      <translation>Innbetalinger</translation>
    </message>
    <message>
      <source>Payment</source>
      <translation>Innbetaling</translation>
    </message>
    <message>
      <source>Register fulfilled payment</source>
      <translation>Registrer innbetaling</translation>
    </message>
    <message>
      <source>All</source>
      <translation>Alle</translation>
    </message>
    <message>
      <source>Show all invoices regardless of status</source>
      <translation>Vis alle fakturaer uansett status</translation>
    </message>
    <message>
      <source>Unpaid</source>
      <translation>Ubetalte</translation>
    </message>
    <message>
      <source>Unapid</source>
      <translation>Ubetalte</translation>
    </message>
    <message>
      <source>Show all unpaid invoices</source>
      <translation>Vis alle ubetalte fakturaer</translation>
    </message>
    <message>
      <source>Overdue</source>
      <translation>Forfalte</translation>
    </message>
    <message>
      <source>Show only unpaid invoices where duedate has expired</source>
      <translation>Vis bare ubetalte fakturaer der forfallsdatoen er passert</translation>
    </message>
    <message>
      <source>Invoice #</source>
      <translation>Fakturanr.</translation>
    </message>
    <message>
      <source>Name</source>
      <translation>Navn</translation>
    </message>
    <message>
      <source>Sum</source>
      <translation>Sum</translation>
    </message>
    <message>
      <source>Date</source>
      <translation>Dato</translation>
    </message>
    <message>
      <source>Due date</source>
      <translation>Forfallsdato</translation>
    </message>
    <message>
      <source>Printed</source>
      <translation>Skrevet ut</translation>
    </message>
    <message>
      <source>Paid</source>
      <translation>Betalt</translation>
    </message>
    <message>
      <source>Days overdue</source>
      <translation>Dager forfalt</translation>
    </message>
    <message>
      <source>&amp;Invoice</source>
      <translation>&amp;Faktura</translation>
    </message>
    <message>
      <source>Filter</source>
      <translation>Filter</translation>
    </message>
    <message>
      <source>Filter out invoices in list on a criteria</source>
      <translation>Vis bare fakturaer som oppfyller et vilkår</translation>
    </message>
  </context>
  <context>
    <name>TfrmInvoiceNote</name>
    <message>
      <source>Optional Invoice Text</source>
      <translation>Valgfri fakturatekst</translation>
    </message>
    <message>
      <source>Default &amp;text:</source>
      <translation>Standard&amp;tekst:</translation>
    </message>
    <message>
      <source>Invoice1</source>
      <translation>Faktura1</translation>
    </message>
    <message>
      <source>Invoice2</source>
      <translation>Faktura2</translation>
    </message>
    <message>
      <source>Reminder1</source>
      <translation>Purring1</translation>
    </message>
    <message>
      <source>Reminder2</source>
      <translation>Purring2</translation>
    </message>
    <message>
      <source>FinalNotice1</source>
      <translation>Inkassovarsel1</translation>
    </message>
    <message>
      <source>FinalNotice2</source>
      <translation>Inkassovarsel2</translation>
    </message>
    <message>
      <source>Credit1</source>
      <translation>Kreditt1</translation>
    </message>
    <message>
      <source>Credit2</source>
      <translation>Kreditt2</translation>
    </message>
    <message>
      <source>&amp;OK</source>
      <translation>&amp;OK</translation>
    </message>
    <message>
      <source>&amp;Cancel</source>
      <translation>&amp;Avbryt</translation>
    </message>
    <message>
      <source>&amp;Help</source>
      <translation>&amp;Hjelp</translation>
    </message>
    <message>
      <source>Help</source>
      <translation>Hjelp</translation>
    </message>
    <message>
      <source>Show help for topic</source>
      <translation>Vis hjelp for emnet</translation>
    </message>
    <message>
      <source>&amp;Remember</source>
      <translation>&amp;Husk</translation>
    </message>
  </context>
  <context>
    <name>TfrmInvoicePay</name>
    <message>
      <source>Invoice payment registration</source>
      <translation>Registrering av innbetalinger</translation>
    </message>
    <message>
      <source>&amp;OK</source>
      <translation>&amp;OK</translation>
    </message>
    <message>
      <source>Cancel</source>
      <translation>Avbryt</translation>
    </message>
    <message>
      <source>&amp;Help</source>
      <translation>&amp;Hjelp</translation>
    </message>
    <message>
      <source>Help</source>
      <translation>Hjelp</translation>
    </message>
    <message>
      <source>Show help for this topics</source>
      <translation>Vis hjelp for dette emnet</translation>
    </message>
    <message>
      <source>Paid</source>
      <translation>Betalt</translation>
    </message>
    <message>
      <source>Invoice #</source>
      <translation>Fakturanr.</translation>
    </message>
    <message>
      <source>Invoice date</source>
      <translation>Fakturadato</translation>
    </message>
    <message>
      <source>Gross total</source>
      <translation>Brutto total</translation>
    </message>
    <message>
      <source>Paid date</source>
      <translation>Betalt dato</translation>
    </message>
    <message>
      <source>Sum paid</source>
      <translation>Betalt sum</translation>
    </message>
    <message>
      <source>Closing window will not store changes to payments. Close anyway?</source>
      <translation>Vinduet lukkes uten å lagre endringene i innbetalingene. Vil du lukke likevel?</translation>
    </message>
  </context>
  <context>
    <name>TfrmLookupItems</name>
    <message>
      <source>Invoice items</source>
      <translation>Varer</translation>
    </message>
    <message>
      <source>&amp;Read only</source>
      <translation>&amp;Kun lesing</translation>
    </message>
    <message>
      <source>&amp;OK</source>
      <translation>&amp;OK</translation>
    </message>
    <message>
      <source>Cancel</source>
      <translation>Avbryt</translation>
    </message>
    <message>
      <source>&amp;Help</source>
      <translation>&amp;Hjelp</translation>
    </message>
    <message>
      <source>Help</source>
      <translation>Hjelp</translation>
    </message>
    <message>
      <source>Show help for this topics</source>
      <translation>Vis hjelp for dette emnet</translation>
    </message>
    <message>
      <source>Item code</source>
      <translation>Varenr.</translation>
    </message>
    <message>
      <source>Description</source>
      <translation>Beskrivelse</translation>
    </message>
    <message>
      <source>Net price</source>
      <translation>Nettopris</translation>
    </message>
    <message>
      <source>VAT%</source>
      <translation>MVA%</translation>
    </message>
    <message>
      <source>Gross price</source>
      <translation>Bruttopris</translation>
    </message>
  </context>
  <context>
    <name>TfrmMain</name>
    <message>
      <source>&amp;File</source>
      <translation>&amp;Fil</translation>
    </message>
    <message>
      <source>New</source>
      <translation>Ny</translation>
    </message>
    <message>
      <source>&amp;Customer</source>
      <translation>&amp;Kunde</translation>
    </message>
    <message>
      <source>&amp;Invoice</source>
      <translation>F&amp;aktura</translation>
    </message>
    <message>
      <source>&amp;Reports</source>
      <translation>&amp;Rapporter</translation>
    </message>
    <message>
      <source>&amp;Window</source>
      <translation>&amp;Vindu</translation>
    </message>
    <message>
      <source>&amp;Help</source>
      <translation>&amp;Hjelp</translation>
    </message>
    <message>
      <source>NewCustomer</source>
      <translation>NyKunde</translation>
    </message>
    <message>
      <source>NewInvoice</source>
      <translation>NyFaktura</translation>
    </message>
    <message>
      <source>New Customer</source>
      <translation>Ny kunde</translation>
    </message>
    <message>
      <source>New Invoice</source>
      <translation>Ny faktura</translation>
    </message>
    <message>
      <source>Print Setup ...</source>
      <translation>Skriveroppsett ...</translation>
    </message>
    <message>
      <source>Printer Setup</source>
      <translation>Skriveroppsett</translation>
    </message>
    <message>
      <source>Change default printer for this application</source>
      <translation>Endre standardskriver for dette programmet</translation>
    </message>
    <message>
      <source>Options ...</source>
      <translation>Innstillinger ...</translation>
    </message>
    <message>
      <source>Options</source>
      <translation>Innstillinger</translation>
    </message>
    <message>
      <source>Open Options window wher program settings may be changed</source>
      <translation>Åpne vinduet der programmets innstillinger kan endres</translation>
    </message>
    <message>
      <source>Products ...</source>
      <translation>Varer ...</translation>
    </message>
    <message>
      <source>E&amp;xit</source>
      <translation>&amp;Avslutt</translation>
    </message>
    <message>
      <source>Exit</source>
      <translation>Avslutt</translation>
    </message>
    <message>
      <source>Quits the application</source>
      <translation>Avslutter programmet</translation>
    </message>
    <message>
      <source>Browse ...</source>
      <translation>Bla gjennom ...</translation>
    </message>
    <message>
      <source>Customers</source>
      <translation>Kunder</translation>
    </message>
    <message>
      <source>Show or activate customer list window</source>
      <translation>Vis eller aktiver kundelisten</translation>
    </message>
    <message>
      <source>Invoices</source>
      <translation>Fakturaer</translation>
    </message>
    <message>
      <source>Show or activate invoice list window</source>
      <translation>Vis eller aktiver fakturalisten</translation>
    </message>
    <message>
      <source>Reports ...</source>
      <translation>Rapporter ...</translation>
    </message>
    <message>
      <source>Reports</source>
      <translation>Rapporter</translation>
    </message>
    <message>
      <source>Show report selection dialog</source>
      <translation>Vis valg av rapport</translation>
    </message>
    <message>
      <source>&amp;Arrange</source>
      <translation>&amp;Ordne</translation>
    </message>
    <message>
      <source>&amp;Cascade</source>
      <translation>&amp;Overlappet</translation>
    </message>
    <message>
      <source>Cascade</source>
      <translation>Overlappet</translation>
    </message>
    <message>
      <source>Tile &amp;Horizontally</source>
      <translation>Side om side &amp;vannrett</translation>
    </message>
    <message>
      <source>Tile Horizontal</source>
      <translation>Side om side vannrett</translation>
    </message>
    <message>
      <source>&amp;Tile Vertically</source>
      <translation>&amp;Side om side loddrett</translation>
    </message>
    <message>
      <source>Tile Vertical</source>
      <translation>Side om side loddrett</translation>
    </message>
    <message>
      <source>&amp;Contents</source>
      <translation>&amp;Innhold</translation>
    </message>
    <message>
      <source>Help Contents</source>
      <translation>Hjelp innhold</translation>
    </message>
    <message>
      <source>Open helpfile in a new window</source>
      <translation>Åpne hjelpefilen i et nytt vindu</translation>
    </message>
    <message>
      <source>&amp;About...</source>
      <translation>&amp;Om...</translation>
    </message>
  </context>
  <context>
    <name>TfrmPostalAddress</name>
    <message>
      <source>Postaladdress lookup</source>
      <translation>Finn poststed</translation>
    </message>
    <message>
      <source>&amp;Filter:</source>
      <translation>&amp;Filter:</translation>
    </message>
    <message>
      <source>OK</source>
      <translation>OK</translation>
    </message>
    <message>
      <source>Cancel</source>
      <translation>Avbryt</translation>
    </message>
    <message>
      <source>&amp;Help</source>
      <translation>&amp;Hjelp</translation>
    </message>
    <message>
      <source>Help</source>
      <translation>Hjelp</translation>
    </message>
    <message>
      <source>Show help for topic</source>
      <translation>Vis hjelp for emnet</translation>
    </message>
    <message>
      <source>Postalcode</source>
      <translation>Postnummer</translation>
    </message>
    <message>
      <source>Postaladdress</source>
      <translation>Poststed</translation>
    </message>
  </context>
  <context>
    <name>TfrmRepSelect</name>
    <message>
      <source>Reports</source>
      <translation>Rapporter</translation>
    </message>
    <message>
      <source>Report name:</source>
      <translation>Rapportnavn:</translation>
    </message>
    <message>
      <source>Select a report here</source>
      <translation>Velg en rapport her</translation>
    </message>
    <message>
      <source>Transactions</source>
      <translation>Transaksjoner</translation>
    </message>
    <message>
      <source>Customers</source>
      <translation>Kunder</translation>
    </message>
    <message>
      <source>Items</source>
      <translation>Varer</translation>
    </message>
    <message>
      <source>Invoices</source>
      <translation>Fakturaer</translation>
    </message>
    <message>
      <source>F&amp;rom:</source>
      <translation>F&amp;ra:</translation>
    </message>
    <message>
      <source>&amp;To</source>
      <translation>&amp;Til</translation>
    </message>
    <message>
      <source>Filter</source>
      <translation>Utvalg</translation>
    </message>
    <message>
      <source>All</source>
      <translation>Alle</translation>
    </message>
    <message>
      <source>Unpaid</source>
      <translation>Ubetalte</translation>
    </message>
    <message>
      <source>Expired</source>
      <translation>Forfalte</translation>
    </message>
    <message>
      <source>Cancel</source>
      <translation>Avbryt</translation>
    </message>
    <message>
      <source>&amp;Help</source>
      <translation>&amp;Hjelp</translation>
    </message>
    <message>
      <source>Help</source>
      <translation>Hjelp</translation>
    </message>
    <message>
      <source>Show help for this topics</source>
      <translation>Vis hjelp for dette emnet</translation>
    </message>
    <message>
      <source>OK</source>
      <translation>OK</translation>
    </message>
    <message>
      <source>The period ends on %1, before it starts on %2: choose a "To" date on or after the "From" date</source>
      <translation>Perioden slutter %1, før den begynner %2: velg en «Til»-dato lik eller etter «Fra»-datoen</translation>
    </message>
  </context>
  <context>
    <name>TfrmSettings</name>
    <message>
      <source>Options</source>
      <translation>Innstillinger</translation>
    </message>
    <message>
      <source>Company Information</source>
      <translation>Firmaopplysninger</translation>
    </message>
    <message>
      <source>Company &amp;name and address</source>
      <translation>Firma&amp;navn og adresse</translation>
    </message>
    <message>
      <source>Company &amp;details</source>
      <translation>Firma&amp;detaljer</translation>
    </message>
    <message>
      <source>&amp;Bank accountnumber</source>
      <translation>&amp;Bankkontonummer</translation>
    </message>
    <message>
      <source>Invoice</source>
      <translation>Faktura</translation>
    </message>
    <message>
      <source>Invoice &amp;credit days</source>
      <translation>&amp;Betalingsfrist (dager)</translation>
    </message>
    <message>
      <source>Defaut &amp;VAT %</source>
      <translation>Standard &amp;MVA %</translation>
    </message>
    <message>
      <source>&amp;Round Off fraction (øre/öre)</source>
      <translation>&amp;Rund av øre</translation>
    </message>
    <message>
      <source>Pre printed invoice formular</source>
      <translation>Forhåndstrykt fakturablankett</translation>
    </message>
    <message>
      <source>Application</source>
      <translation>Program</translation>
    </message>
    <message>
      <source>&amp;Language</source>
      <translation>&amp;Språk</translation>
    </message>
    <message>
      <source>English</source>
      <translation>Engelsk</translation>
    </message>
    <message>
      <source>Norwegian</source>
      <translation>Norsk</translation>
    </message>
    <message>
      <source>Show information hints</source>
      <translation>Vis verktøytips</translation>
    </message>
    <message>
      <source>OK</source>
      <translation>OK</translation>
    </message>
    <message>
      <source>Cancel</source>
      <translation>Avbryt</translation>
    </message>
    <message>
      <source>&amp;Help</source>
      <translation>&amp;Hjelp</translation>
    </message>
    <message>
      <source>Help</source>
      <translation>Hjelp</translation>
    </message>
    <message>
      <source>Show help topics for program options dialog</source>
      <translation>Vis hjelp for innstillingene</translation>
    </message>
  </context>
  <context>
    <name>TrepInvoiceList</name>
    <message>
      <source>Invoicelist</source>
      <translation>Fakturaliste</translation>
    </message>
    <message>
      <source>From date:</source>
      <translation>Fra dato:</translation>
    </message>
    <message>
      <source>Invoice #</source>
      <translation>Fakturanr</translation>
    </message>
    <message>
      <source>Cust #</source>
      <translation>Kundenr</translation>
    </message>
    <message>
      <source>Name</source>
      <translation>Navn</translation>
    </message>
    <message>
      <source>Date</source>
      <translation>Dato</translation>
    </message>
    <message>
      <source>Printed</source>
      <translation>Skrevet ut</translation>
    </message>
    <message>
      <source>Due</source>
      <translation>Forfall</translation>
    </message>
    <message>
      <source>Paid</source>
      <translation>Betalt</translation>
    </message>
    <message>
      <source>Gross sum</source>
      <translation>Brutto</translation>
    </message>
    <message>
      <source>Unpaid Invoices</source>
      <translation>Ubetalte fakturaer</translation>
    </message>
    <message>
      <source>Overdue Invoices</source>
      <translation>Forfalte fakturaer</translation>
    </message>
  </context>
  <context>
    <name>TrepTransactionList</name>
    <message>
      <source>Issue</source>
      <translation>Utstedt</translation>
    </message>
    <message>
      <source>Payment</source>
      <translation>Betaling</translation>
    </message>
    <message>
      <source>Transaction report</source>
      <translation>Transaksjonsrapport</translation>
    </message>
    <message>
      <source>From date:</source>
      <translation>Fra dato:</translation>
    </message>
    <message>
      <source>To date:</source>
      <translation>Til dato:</translation>
    </message>
    <message>
      <source>Date</source>
      <translation>Dato</translation>
    </message>
    <message>
      <source>Event</source>
      <translation>Hendelse</translation>
    </message>
    <message>
      <source>Type</source>
      <translation>Type</translation>
    </message>
    <message>
      <source>Invoice #</source>
      <translation>Fakturanr</translation>
    </message>
    <message>
      <source>Cust #</source>
      <translation>Kundenr</translation>
    </message>
    <message>
      <source>Name</source>
      <translation>Navn</translation>
    </message>
    <message>
      <source>Net sum</source>
      <translation>Netto</translation>
    </message>
    <message>
      <source>VAT</source>
      <translation>MVA</translation>
    </message>
    <message>
      <source>Gross sum</source>
      <translation>Brutto</translation>
    </message>
    <message>
      <source>Due date:</source>
      <translation>Forfall:</translation>
    </message>
  </context>
  <context>
    <name>TrptCustomer</name>
    <message>
      <source>Customers</source>
      <translation>Kunder</translation>
    </message>
    <message>
      <source>Customer report</source>
      <translation>Kunderapport</translation>
    </message>
    <message>
      <source>Phone:</source>
      <translation>Telefon:</translation>
    </message>
    <message>
      <source>e-mail:</source>
      <translation>E-post:</translation>
    </message>
    <message>
      <source>Status:</source>
      <translation>Status:</translation>
    </message>
  </context>
  <context>
    <name>TrptItems</name>
    <message>
      <source>Items</source>
      <translation>Varer</translation>
    </message>
    <message>
      <source>Invoiceitems report</source>
      <translation>Vareliste</translation>
    </message>
    <message>
      <source>Item #</source>
      <translation>Varenr</translation>
    </message>
    <message>
      <source>Description</source>
      <translation>Beskrivelse</translation>
    </message>
    <message>
      <source>Net price</source>
      <translation>Nettopris</translation>
    </message>
    <message>
      <source>VAT</source>
      <translation>MVA</translation>
    </message>
    <message>
      <source>Gross price</source>
      <translation>Bruttopris</translation>
    </message>
  </context>
  <context>
    <name>db::DataSet</name>
    <message>
      <source>Cannot add the field '%1' while the dataset %2 is open</source>
      <translation>Kan ikke legge til feltet '%1' mens datasettet %2 er åpent</translation>
    </message>
    <message>
      <source>Duplicate field name '%1'</source>
      <translation>Feltnavnet '%1' finnes fra før</translation>
    </message>
    <message>
      <source>Field '%1' not found</source>
      <translation>Feltet '%1' finnes ikke</translation>
    </message>
    <message>
      <source>Cannot perform this operation on a closed dataset</source>
      <translation>Kan ikke utføre denne operasjonen på et lukket datasett</translation>
    </message>
    <message>
      <source>The dataset %1 has no connection</source>
      <translation>Datasettet %1 har ingen forbindelse</translation>
    </message>
    <message>
      <source>Cannot modify a read-only dataset</source>
      <translation>Kan ikke endre et skrivebeskyttet datasett</translation>
    </message>
    <message>
      <source>Field '%1' must have a value</source>
      <translation>Feltet '%1' må ha en verdi</translation>
    </message>
    <message>
      <source>The row cannot be written back: it has no key</source>
      <translation>Raden kan ikke skrives tilbake: den har ingen nøkkel</translation>
    </message>
    <message>
      <source>Row cannot be located for updating. Some values may have been changed since it was last read</source>
      <translation>Raden ble ikke funnet for oppdatering. Noen verdier kan være endret siden den sist ble lest</translation>
    </message>
    <message>
      <source>Cannot perform this operation on an empty dataset</source>
      <translation>Kan ikke utføre denne operasjonen på et tomt datasett</translation>
    </message>
    <message>
      <source>The row cannot be deleted: it has no key</source>
      <translation>Raden kan ikke slettes: den har ingen nøkkel</translation>
    </message>
    <message>
      <source>The filter '%1' is not understood</source>
      <translation>Filteret '%1' forstås ikke</translation>
    </message>
    <message>
      <source>Locate was given %1 values for %2 fields</source>
      <translation>Søket fikk %1 verdier for %2 felt</translation>
    </message>
  </context>
  <context>
    <name>report::PreviewWindow</name>
    <message>
      <source>PDF File (*.pdf)</source>
      <translation>PDF-fil (*.pdf)</translation>
    </message>
    <message>
      <source>RTF File (*.rtf)</source>
      <translation>RTF-fil (*.rtf)</translation>
    </message>
    <message>
      <source>Print Preview</source>
      <translation>Forhåndsvisning</translation>
    </message>
    <message>
      <source>Print Preview - %1</source>
      <translation>Forhåndsvisning - %1</translation>
    </message>
    <message>
      <source>First</source>
      <translation>Første</translation>
    </message>
    <message>
      <source>Prior</source>
      <translation>Forrige</translation>
    </message>
    <message>
      <source>Next</source>
      <translation>Neste</translation>
    </message>
    <message>
      <source>Last</source>
      <translation>Siste</translation>
    </message>
    <message>
      <source>Zoom out</source>
      <translation>Zoom ut</translation>
    </message>
    <message>
      <source>%1 %</source>
      <translation>%1 %</translation>
    </message>
    <message>
      <source>Zoom in</source>
      <translation>Zoom inn</translation>
    </message>
    <message>
      <source>Print</source>
      <translation>Skriv ut</translation>
    </message>
    <message>
      <source>Printer setup</source>
      <translation>Skriveroppsett</translation>
    </message>
    <message>
      <source>Save</source>
      <translation>Lagre</translation>
    </message>
    <message>
      <source>Close</source>
      <translation>Lukk</translation>
    </message>
    <message>
      <source>Page %1 of %2</source>
      <translation>Side %1 av %2</translation>
    </message>
    <message>
      <source>Printing...</source>
      <translation>Skriver ut ...</translation>
    </message>
    <message>
      <source>Saving...</source>
      <translation>Lagrer ...</translation>
    </message>
  </context>
  <context>
    <name>uMsgStrs</name>
    <message>
      <source>Kvarnel already running?</source>
      <translation>Kvarnel kjører allerede?</translation>
    </message>
    <message>
      <source>Can't start a second session of Kvarnel. Activate the one already running in the backgroubd. Restart machine if problem persist.</source>
      <translation>Kan ikke starte Kvarnel en gang til. Aktiver den som allerede kjører i bakgrunnen. Start maskinen på nytt hvis problemet vedvarer.</translation>
    </message>
    <message>
      <source>Print and preview will not work.</source>
      <translation>Utskrift og forhåndsvisning vil ikke virke.</translation>
    </message>
    <message>
      <source> 3rd party Print engin have limitations. In general it is unable to access most of the printersetting values. Pereffered settings for printer must be set up in operating system printer configuration.</source>
      <translation> Utskriftsmotoren har begrensninger. Den kan som regel ikke lese de fleste skriverinnstillingene. Ønskede innstillinger for skriveren må settes opp i operativsystemets skriveroppsett.</translation>
    </message>
    <message>
      <source>Can't execute the command. No customer selected</source>
      <translation>Kan ikke utføre kommandoen. Ingen kunde er valgt</translation>
    </message>
    <message>
      <source>Unassigned</source>
      <translation>Ikke tildelt</translation>
    </message>
    <message>
      <source>This invoice should not be changed</source>
      <translation>Denne fakturaen bør ikke endres</translation>
    </message>
    <message>
      <source>since it is marked as paid.</source>
      <translation>fordi den er merket som betalt.</translation>
    </message>
    <message>
      <source>Øre avrunding</source>
      <translation>Øre avrunding</translation>
    </message>
    <message>
      <source>Version: %1</source>
      <translation>Versjon: %1</translation>
    </message>
    <message>
      <source>Pre-release</source>
      <translation>Forhåndsutgave</translation>
    </message>
    <message>
      <source>'%1' is not a valid floating point value</source>
      <translation>«%1» er ikke et gyldig desimaltall</translation>
    </message>
    <message>
      <source>The default VAT must be from 0 to 100 %; %1 is not</source>
      <translation>Standard MVA må være fra 0 til 100 %; %1 er ikke det</translation>
    </message>
    <message>
      <source>There is no invoice database yet. Create a new one as %1?

Without a database the program cannot start.</source>
      <translation>Det finnes ingen fakturadatabase ennå. Vil du opprette en ny som %1?

Uten database kan ikke programmet starte.</translation>
    </message>
    <message>
      <source>Fill the new database with a demo business (customers, items and invoices) to try the program?

No makes it empty, ready for your own business.</source>
      <translation>Vil du fylle den nye databasen med en demobedrift (kunder, varer og fakturaer) for å prøve programmet?

Nei gjør den tom, klar for din egen bedrift.</translation>
    </message>
    <message>
      <source>Cannot make the folder %1</source>
      <translation>Kan ikke opprette mappen %1</translation>
    </message>
  </context>
</TS>
