TYPE=TRIGGERS
triggers='CREATE DEFINER=`root`@`localhost` TRIGGER notes_bi BEFORE INSERT ON notes FOR EACH ROW SET NEW.body = CONCAT(\'note: \', NEW.body)'
sql_modes=1077936128
definers='root@localhost'
client_cs_names='utf8mb4'
connection_cl_names='utf8mb4_general_ci'
db_cl_names='utf8mb4_general_ci'
created=1796996697534127
