DELIMITER ;;
CREATE DEFINER=`root`@`localhost` TRIGGER notes_bi BEFORE INSERT ON notes FOR EACH ROW SET NEW.body = CONCAT('note: ', NEW.body)
;;
DELIMITER ;
