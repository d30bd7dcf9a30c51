TYPE=VIEW
query=select `shop`.`customers`.`id` AS `id`,`shop`.`customers`.`name` AS `name`,`shop`.`customers`.`city` AS `city` from `shop`.`customers` where `shop`.`customers`.`vip` = 1
md5=f80f3774d24efdcc0f7dda87260a1c66
updatable=1
algorithm=0
definer_user=root
definer_host=localhost
suid=2
with_check_option=0
timestamp=0001796996772965786
create-version=2
source=SELECT id, name, city FROM customers WHERE vip = 1
client_cs_name=utf8mb4
connection_cl_name=utf8mb4_general_ci
view_body_utf8=select `shop`.`customers`.`id` AS `id`,`shop`.`customers`.`name` AS `name`,`shop`.`customers`.`city` AS `city` from `shop`.`customers` where `shop`.`customers`.`vip` = 1
mariadb-version=101119
